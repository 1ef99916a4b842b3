// What becomes of the service's answer: the record, the latest result, the
// account, the panels and alerts, for every kind of success and failure; and
// retries from the history, which must never disturb the live request.
#include "flowfixture.h"

#include "core/appevents.h"
#include "localization/appstrings.h"
#include "localization/servermessages.h"
#include "pipeline/recordingresultstore.h"

#include <QFile>
#include <QTest>
#include <QUuid>

#include <gmock/gmock.h>

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class AnswerHandling : public FlowFixture {
 protected:
  // The newest record of the history.
  static RecordingHistory newestRecord() {
    const QList<RecordingHistory>& records = HistoryStore::shared().records();
    return records.isEmpty() ? RecordingHistory{} : records.first();
  }

  // A failed request of earlier, with its audio copy, as the history page shows it.
  RecordingHistory storedRecord(bool withAudio = true) {
    RecordingHistory record;
    record.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    record.createdAt = Clock::now().addSecs(-60);
    record.operation = QStringLiteral("rewrite");
    record.audioFilePath = *HistoryStore::shared().audioDirectoryURL() + "/" + record.id + ".wav";
    record.selectedText = QStringLiteral("old words");
    record.status = RecognitionStatus::failed;
    record.errorMessage = QStringLiteral("earlier failure");
    record.retryable = true;
    if (withAudio) {
      QFile file(*record.audioFilePath);
      EXPECT_TRUE(file.open(QIODevice::WriteOnly));
      file.write("RIFF-not-really");
    }
    HistoryStore::shared().addRecord(record);
    return record;
  }

  QCoro::Task<void> retry(const RecordingHistory& record) {
    return handler->processRecord(record.id, record.operation, record.audioFilePath, record.selectedText);
  }

  void signInAgain() {
    AuthStore::shared().setEmail(QStringLiteral("writer@example.com"));
    AuthStore::shared().setToken(QStringLiteral("token-1"));
    AuthStore::shared().setCreditsTotal(100);
    AuthStore::shared().setCreditsRemaining(50);
    HistoryStore::shared().load();
  }
};

TEST_F(AnswerHandling, EveryFailureEndsTheRequestWithItsOwnMessageAndFollowUp) {
  struct Row {
    const char* name;
    ScriptedResponse response;
    std::function<QString()> message;
    bool retryable;
    bool signsOut;
    bool tip;  // the message shown in the tip panel (besides the recording indicator)
    bool alert;
  };
  const AppStrings& strings = currentStrings();
  ScriptedResponse noAnswer;
  noAnswer.closeWithoutAnswer = true;
  const std::vector<Row> rows{
      {"unauthorized", ScriptedResponse::json(401, "{}"), [&] { return strings.errorUnauthorized; }, true, true, false,
       false},
      {"banned", ScriptedResponse::json(403, R"({"code":"USER_BANNED","message":"no"})"),
       [&] { return strings.errorUserBanned; }, true, true, false, false},
      {"credits used up", ScriptedResponse::json(402, R"({"code":"CREDITS_EXHAUSTED","message":"pay"})"),
       [&] { return strings.errorCreditsExhausted; }, false, false, true, false},
      {"too long",
       ScriptedResponse::json(413, R"({"code":"DURATION_EXCEEDED","message":"long","config_update":{"max_duration_sec":30}})"),
       [&] { return strings.errorDurationExceeded; }, false, false, false, true},
      {"service error", ScriptedResponse::text(500, "oops"), [&] { return strings.errorUnknown; }, true, false, true,
       false},
      {"unknown action", ScriptedResponse::json(200, R"({"operation":"transcribe","action_type":"PASTE","transcript":"t","result":"r"})"),
       [&] { return strings.errorDecode; }, true, false, true, false},
      {"no answer", noAnswer, [&] { return strings.errorConnectionLost; }, true, false, true, false},
  };

  // A sign-out empties the history in memory, as it does in the program: what
  // the request left behind is read from its account's file.
  AuthStore::SessionHooks hooks;
  hooks.loadHistory = [] { HistoryStore::shared().load(); };
  hooks.clearHistory = [] { HistoryStore::shared().clearRecords(); };
  AuthStore::shared().setSessionHooks(hooks);
  const auto savedNewest = [] {
    QFile file(HistoryStore::historyDirectoryURL(QStringLiteral("writer@example.com")) + "/recording_history.json");
    const auto saved = file.open(QIODevice::ReadOnly) ? RecordingHistory::decodeList(file.readAll()) : std::nullopt;
    return saved && !saved->isEmpty() ? saved->first() : RecordingHistory{};
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    signInAgain();
    overlays.calls.clear();
    alerts.clear();
    service.enqueue("POST", processPath(), row.response);

    request();
    const RecordingHistory record = savedNewest();
    EXPECT_EQ(record.status, RecognitionStatus::failed);
    EXPECT_EQ(record.retryable, row.retryable);
    ASSERT_TRUE(record.errorMessage);
    EXPECT_EQ(record.errorMessage, row.message());
    EXPECT_EQ(AuthStore::shared().isSignedIn(), !row.signsOut);
    EXPECT_EQ(RecordingResultStore::shared().errorMessage(),
              row.signsOut ? std::nullopt : std::optional<QString>(record.errorMessage));
    EXPECT_EQ(overlays.panels(), row.tip ? QStringList{"tip " + *record.errorMessage} : QStringList{});
    EXPECT_EQ(alerts, row.alert ? QStringList{*record.errorMessage} : QStringList{});
    EXPECT_FALSE(overlays.recordingShown);
    EXPECT_FALSE(handler->processor().processingRecordId());
    EXPECT_EQ(pastesTyped(), 0);

    // The next press: ignored when signed out, refused with the tip when the
    // credits are used up.
    overlays.calls.clear();
    handler->handleHotKey(HotKeyCombo::transcribe);
    const bool mayRecord = !row.signsOut && AuthStore::shared().creditsRemaining() > 0;
    EXPECT_EQ(recorder->state(), mayRecord ? RecordingState::recording : RecordingState::idle);
    if (mayRecord) Q_EMIT AppEvents::shared().overlayDismissedDuringRecording();
    ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
    if (!mayRecord) {
      EXPECT_EQ(overlays.calls, row.signsOut ? QStringList{} : QStringList{"tip " + strings.errorCreditsExhausted});
    }
  }
  EXPECT_EQ(recorder->maxDuration(), 30.0);
}

TEST_F(AnswerHandling, EachActionOfASuccessReachesItsPanel) {
  struct Row {
    QJsonObject answer;
    QStringList panels;
    QString recordResult;
  };
  const AppStrings& strings = currentStrings();
  QJsonObject clarify = success("clarify", "");
  clarify["clarify_question"] = "Which file?";
  const std::vector<Row> rows{
      {clarify, {"clarify Which file?"}, ""},
      {success("clarify", ""), {"clarify " + strings.overlayClarifyFallback}, ""},
      {success("show_markdown", "# Title"), {"result markdown # Title"}, "# Title"},
      {success("tip", "OPENCLAW_NOT_INSTALLED"), {"tip " + strings.openclawTipNotInstalled},
       strings.openclawTipNotInstalled},
      {success("tip", "Say it slower"), {"tip Say it slower"}, "Say it slower"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.answer["action_type"].toString().toStdString());
    overlays.calls.clear();
    answer(row.answer);
    request(HotKeyCombo::agent);
    EXPECT_EQ(overlays.panels(), row.panels);
    const RecordingHistory record = newestRecord();
    EXPECT_EQ(record.status, RecognitionStatus::success);
    EXPECT_EQ(record.actionType, row.answer["action_type"].toString());
    EXPECT_EQ(record.result, row.recordResult);
    EXPECT_EQ(RecordingResultStore::shared().result(), row.recordResult);
  }
  EXPECT_EQ(pastesTyped(), 0);
  EXPECT_FALSE(pasteboard.string());
}

TEST_F(AnswerHandling, ASuccessCarriesCreditsALongerLimitAndAWarningShownAfterThePaste) {
  QJsonObject body = success("paste", "Dear team,");
  body["credits_remaining"] = 7;
  body["config_update"] = QJsonObject{{"max_duration_sec", 120}};
  body["warning"] = "Almost out of credits";
  answer(body);
  alertsCloseAtOnce = false;

  startRecording();
  handler->handleHotKey(HotKeyCombo::transcribe);
  ASSERT_TRUE(waitUntil([&] { return !alerts.isEmpty(); }));
  EXPECT_EQ(alerts, QStringList{"Almost out of credits"});
  // The paste came first; the request ends only once the alert is closed.
  EXPECT_EQ(pasteboard.string(), QStringLiteral("Dear team,"));
  EXPECT_EQ(AuthStore::shared().creditsRemaining(), 7);
  EXPECT_EQ(recorder->maxDuration(), 120.0);
  EXPECT_EQ(recorder->state(), RecordingState::processing);
  EXPECT_TRUE(overlays.recordingShown);

  closeAlert();
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  EXPECT_FALSE(overlays.recordingShown);
}

TEST_F(AnswerHandling, ATooLongRecordingHidesTheIndicatorOnlyAfterTheAlert) {
  service.enqueue("POST", processPath(), ScriptedResponse::json(413, R"({"code":"DURATION_EXCEEDED","message":"x"})"));
  alertsCloseAtOnce = false;
  startRecording();
  handler->handleHotKey(HotKeyCombo::transcribe);
  ASSERT_TRUE(waitUntil([&] { return !alerts.isEmpty(); }));
  EXPECT_EQ(newestRecord().status, RecognitionStatus::failed);
  EXPECT_FALSE(newestRecord().retryable);
  EXPECT_TRUE(overlays.recordingShown);
  closeAlert();
  ASSERT_TRUE(waitUntil([&] { return !overlays.recordingShown; }));
  EXPECT_EQ(recorder->state(), RecordingState::idle);
}

TEST_F(AnswerHandling, ClosingTheIndicatorBehindAnOpenAlertKeepsTheAnswer) {
  QJsonObject body = success("paste", "kept");
  body["warning"] = "note";
  answer(body);
  alertsCloseAtOnce = false;
  startRecording();
  handler->handleHotKey(HotKeyCombo::transcribe);
  ASSERT_TRUE(waitUntil([&] { return !alerts.isEmpty(); }));
  Q_EMIT AppEvents::shared().overlayDismissedDuringProcessing();
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  EXPECT_EQ(newestRecord().status, RecognitionStatus::success);
  EXPECT_THAT(handler->processor().cancelledRecordIds(), IsEmpty());
  closeAlert();
  QTest::qWait(20);
  EXPECT_EQ(newestRecord().result, QStringLiteral("kept"));
}

TEST_F(AnswerHandling, ARetryDuringARecordingTouchesOnlyItsOwnRecord) {
  const RecordingHistory stored = storedRecord();
  startRecording();
  overlays.calls.clear();
  answer(success("show_markdown", "retried answer"));

  awaitTask(retry(stored));
  EXPECT_EQ(uploadedField("operation"), "rewrite");
  EXPECT_EQ(uploadedField("selected_text"), "old words");
  const RecordingHistory record = *HistoryStore::shared().record(stored.id);
  EXPECT_EQ(record.status, RecognitionStatus::success);
  EXPECT_EQ(record.result, QStringLiteral("retried answer"));
  EXPECT_FALSE(record.errorMessage);
  EXPECT_TRUE(record.processStartedAt);
  // The recording the user is making goes on, its indicator still up.
  EXPECT_EQ(recorder->state(), RecordingState::recording);
  EXPECT_TRUE(overlays.recordingShown);
  EXPECT_EQ(overlays.calls, QStringList{"result markdown retried answer"});
  EXPECT_EQ(handler->currentOperation(), QStringLiteral("transcribe"));
}

TEST_F(AnswerHandling, ARetryWithoutItsAudioFailsWithoutAskingTheService) {
  const RecordingHistory stored = storedRecord(false);
  awaitTask(retry(stored));
  EXPECT_EQ(service.requestCount(), 0);
  const RecordingHistory record = *HistoryStore::shared().record(stored.id);
  EXPECT_EQ(record.status, RecognitionStatus::failed);
  EXPECT_EQ(record.errorMessage, currentStrings().errorInvalidAudio);
  EXPECT_TRUE(record.retryable);
  EXPECT_THAT(overlays.calls, IsEmpty());
  EXPECT_EQ(recorder->state(), RecordingState::idle);
}

TEST_F(AnswerHandling, AFailedRetryIsToldOnItsHistoryCardNotInATip) {
  const RecordingHistory stored = storedRecord();
  service.enqueue("POST", processPath(), ScriptedResponse::text(500, "oops"));
  awaitTask(retry(stored));
  const RecordingHistory record = *HistoryStore::shared().record(stored.id);
  EXPECT_EQ(record.status, RecognitionStatus::failed);
  EXPECT_EQ(record.errorMessage, currentStrings().errorUnknown);
  EXPECT_THAT(overlays.calls, IsEmpty());
}

TEST_F(AnswerHandling, OfTwoRetriesOfOneRecordTheLaterOneDecides) {
  const RecordingHistory stored = storedRecord();
  answer(success("show_markdown", "first, but slow"), 400ms);
  answer(success("show_markdown", "second"));
  auto first = retry(stored);
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1; }));
  awaitTask(retry(stored));
  awaitTask(std::move(first));
  EXPECT_EQ(HistoryStore::shared().record(stored.id)->result, QStringLiteral("second"));
  EXPECT_EQ(RecordingResultStore::shared().result(), QStringLiteral("second"));
  EXPECT_EQ(overlays.calls, QStringList{"result markdown second"});
}

}  // namespace
