// The request flow from the first press to the answer, over fakes: which
// presses start, stop or are ignored, what goes with the upload, the cancels,
// what becomes of every kind of answer, retries, and the agent's commands.
#include "flowtest.h"
#include "tracelines.h"

#include "core/appevents.h"
#include "localization/appstrings.h"
#include "openclaw/openclawmanager.h"
#include "pipeline/clipboardhistory.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QUuid>

#include <gmock/gmock.h>

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class RequestFlow : public FlowTest {
 protected:
  QStringList recordingsInTemporaryFolder() const {
    return QDir(Paths::temporaryDirectory()).entryList({QStringLiteral("*.wav")}, QDir::Files);
  }
  // A recorder that has not prepared its engine: a start waits for that.
  void useUnpreparedRecorder() {
    handler.reset();
    recorder = std::make_unique<AudioRecorder>(engines.factory(), [] { return true; });
    handler = std::make_unique<AppHotKeyHandler>(*recorder, HistoryStore::shared());
  }
  std::shared_ptr<FakeElement> selectInEditor(const QString& text, AXTextRange range) {
    auto field = FakeElement::text(text, range);
    accessibility.systemWideElement = FakeElement::focusing(field);
    return field;
  }
  static qsizetype rangeWrites(const FakeElement& element) {
    return std::count_if(element.writes.cbegin(), element.writes.cend(),
                         [](const auto& write) { return write.first == AXAttribute::selectedTextRange; });
  }
  static RecordingHistory newest() { return HistoryStore::shared().records().value(0); }
  // How many probes of the recording have had their restore answered.
  static qsizetype probesAnswered() {
    return traceLines().filter(QRegularExpression(QStringLiteral("^Flow probe restore @\\d+ms returned: "))).size();
  }
  // A failed request of earlier with its audio copy, as the history page shows it.
  static RecordingHistory storedRecord(bool withAudio = true) {
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const RecordingHistory record{id, Clock::now(), "rewrite", *HistoryStore::shared().audioDirectoryURL() + "/" + id + ".wav",
                                  "old words", {}, {}, {}, RecognitionStatus::failed, {}, true, {}, {}};
    QFile file(*record.audioFilePath);
    if (withAudio) {
      EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write("RIFF-not-really") > 0);
    }
    HistoryStore::shared().addRecord(record);
    return record;
  }
  QCoro::Task<void> retry(const RecordingHistory& record) {
    return handler->processRecord(record.id, record.operation, record.audioFilePath, record.selectedText);
  }
};

TEST_F(RequestFlow, APressRecordsTheNextUploadsAndTheAnswerIsPastedWhereTheUserWorks) {
  answer(success(QStringLiteral("paste"), QStringLiteral("Hello world"), QStringLiteral("hello world")));
  startRecording();
  EXPECT_EQ(handler->currentOperation(), QStringLiteral("transcribe"));
  EXPECT_EQ(handler->targetAppPid(), kEditorPid);
  const QStringList recordings = recordingsInTemporaryFolder();
  ASSERT_EQ(recordings.size(), 1);

  stopAndWaitForAnswer();
  ASSERT_EQ(service.requestCount(), 1);
  EXPECT_EQ(service.lastRequest().path, processPath());
  EXPECT_EQ(uploadedField("operation"), "transcribe");
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
  EXPECT_TRUE(service.lastRequest().body.contains("filename=\"" + recordings.first().toUtf8() + "\""));
  EXPECT_EQ(pasteboard.string(), QStringLiteral("Hello world"));
  EXPECT_TRUE(waitUntil([&] { return pastesTyped() == 1; }));
  EXPECT_THAT(overlays.calls, ElementsAre("show recording", "hide recording"));
  const RecordingHistory record = onlyRecord();
  EXPECT_EQ(record.status, RecognitionStatus::success);
  EXPECT_EQ(record.transcript, QStringLiteral("hello world"));
  EXPECT_EQ(record.result, QStringLiteral("Hello world"));
  EXPECT_TRUE(record.processingDuration.has_value());
  ASSERT_TRUE(record.audioFilePath);  // the history's copy; the recording itself is gone
  EXPECT_EQ(QFileInfo(*record.audioFilePath).fileName(), recordings.first());
  EXPECT_TRUE(QFileInfo(*record.audioFilePath).isFile());
  EXPECT_THAT(recordingsInTemporaryFolder(), IsEmpty());
  EXPECT_EQ(RecordingResultStore::shared().result(), QStringLiteral("Hello world"));
}

TEST_F(RequestFlow, PressesThatMustNotStartARecordingChangeNothing) {
  struct Row {
    const char* name;
    std::function<void()> arrange;
    bool records;
    QStringList panels;
  };
  const std::vector<Row> rows{
      {"signed out", [] { AuthStore::shared().setToken(std::nullopt); }, false, {}},
      {"no desktop trust", [this] { trust.trusted = false; }, false, {}},
      {"credits used up", [] { AuthStore::shared().setCreditsTotal(5), AuthStore::shared().setCreditsRemaining(0); },
       false, {"tip " + currentStrings().errorCreditsExhausted}},
      {"a plan without credits", [] { AuthStore::shared().setCreditsTotal(0), AuthStore::shared().setCreditsRemaining(0); },
       true, {}},
      {"one credit left", [] { AuthStore::shared().setCreditsTotal(1), AuthStore::shared().setCreditsRemaining(1); }, true, {}},
      {"microphone refused when asked", [this] { microphone.status = MicrophoneAccess::Authorization::notDetermined; },
       false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AuthStore::shared().setToken(QStringLiteral("token-1"));
    AuthStore::shared().setCreditsTotal(100);
    AuthStore::shared().setCreditsRemaining(50);
    trust.trusted = true;
    microphone.status = MicrophoneAccess::Authorization::authorized;
    microphone.grantOnRequest = false;
    row.arrange();
    PermissionManager::shared().refresh();
    overlays.calls.clear();
    handler->handleHotKey(HotKeyCombo::rewrite);
    ASSERT_TRUE(waitUntil([&] { return !handler->isStartingRecording(); }));
    EXPECT_EQ(recorder->state(), row.records ? RecordingState::recording : RecordingState::idle);
    EXPECT_EQ(overlays.panels(), row.panels);
    if (row.records) {
      handler->cancelRecording();
      ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
    } else {
      EXPECT_FALSE(handler->currentOperation());
    }
  }
  EXPECT_THAT(recordingsInTemporaryFolder(), IsEmpty());
  EXPECT_EQ(microphone.requests, 1) << "asked only where it was not granted";
}

// A microphone the user allows when asked, as the desktop then reports it.
class MicrophoneGrantedWhenAsked final : public MicrophoneAccess {
 public:
  Authorization authorizationStatus() override { return status; }
  QCoro::Task<bool> requestAccess() override {
    ++requests;
    status = Authorization::authorized;
    co_return true;
  }
  Authorization status = Authorization::notDetermined;
  int requests = 0;
};

TEST_F(RequestFlow, APressAsksForTheMicrophoneAndRecordsOnceItIsAllowed) {
  MicrophoneGrantedWhenAsked asked;
  MicrophoneAccess::install(&asked);
  const auto restore = qScopeGuard([this] { MicrophoneAccess::install(&microphone); });
  PermissionManager::shared().refresh();
  startRecording();
  EXPECT_EQ(asked.requests, 1);
  handler->cancelRecording();
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
}

TEST_F(RequestFlow, PressesWhileAStartIsInFlightOrAnAnswerIsAwaitedAreIgnored) {
  // Nothing is selected, so the copy command holds the start; the user presses
  // again meanwhile, handed over on a later turn of the event loop as the
  // listener does. A prepared recorder answers the start at once.
  for (const bool prepared : {true, false}) {
    SCOPED_TRACE(prepared ? "prepared recorder" : "unprepared recorder");
    if (!prepared) useUnpreparedRecorder();
    int pressesDuringCopy = 0;
    keyboard.onChord = [&](const KeyChord& chord) {
      if (chord != KeyChord::controlInsert()) return;
      QMetaObject::invokeMethod(handler.get(), [&] {
            handler->handleHotKey(HotKeyCombo::rewrite);
            ++pressesDuringCopy;
          }, Qt::QueuedConnection);
    };
    handler->handleHotKey(HotKeyCombo::transcribe);
    ASSERT_TRUE(waitUntil([&] { return pressesDuringCopy == 1 && !handler->isStartingRecording(); }));
    keyboard.onChord = nullptr;
    EXPECT_EQ(recorder->state(), RecordingState::recording);
    EXPECT_EQ(handler->currentOperation(), QStringLiteral("transcribe"));
  }

  answer(success(QStringLiteral("paste"), QStringLiteral("late")), 300ms);
  handler->handleHotKey(HotKeyCombo::transcribe);
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::processing; }));
  handler->handleHotKey(HotKeyCombo::transcribe);
  handler->handleHotKey(HotKeyCombo::agent);
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  EXPECT_EQ(service.requestCount(), 1);
  EXPECT_EQ(HistoryStore::shared().records().size(), 1);
}

TEST_F(RequestFlow, ClosingTheIndicatorCancelsWhateverTheRequestIsDoing) {
  // While recording: nothing is sent, no record, no file.
  startRecording();
  Q_EMIT AppEvents::shared().overlayDismissedDuringRecording();
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  EXPECT_FALSE(overlays.recordingShown);
  EXPECT_FALSE(handler->currentOperation());
  EXPECT_THAT(recordingsInTemporaryFolder(), IsEmpty());
  EXPECT_THAT(HistoryStore::shared().records(), IsEmpty());

  // While processing: the record fails as cancelled and the late answer is
  // dropped, also when the user has gone on with a new recording.
  answer(success(QStringLiteral("paste"), QStringLiteral("too late")), 400ms);
  startRecording();
  handler->handleHotKey(HotKeyCombo::transcribe);
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1; }));
  Q_EMIT AppEvents::shared().overlayDismissedDuringProcessing();
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  const RecordingHistory record = onlyRecord();
  EXPECT_EQ(record.status, RecognitionStatus::failed);
  EXPECT_EQ(record.errorMessage, currentStrings().errorUserCancelled);
  EXPECT_TRUE(record.retryable);
  startRecording(HotKeyCombo::rewrite);
  ASSERT_TRUE(waitUntil([&] { return handler->processor().cancelledRecordIds().isEmpty(); }, 3s));
  EXPECT_EQ(onlyRecord(), record);
  EXPECT_EQ(recorder->state(), RecordingState::recording);
  EXPECT_TRUE(overlays.recordingShown);
  EXPECT_EQ(pastesTyped(), 0);
  EXPECT_EQ(service.requestCount(), 1);
}

// (A lost microphone ends a recording the same way: the desktop tests unplug a real one.)
TEST_F(RequestFlow, TheLongestRecordingStopsLikeASecondPress) {
  answer(success(QStringLiteral("paste"), QStringLiteral("what was said")));
  recorder->setMaxDuration(1);  // 100 ms at the test's pace
  handler->handleHotKey(HotKeyCombo::transcribe);
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1 && recorder->state() == RecordingState::idle; }));
  EXPECT_EQ(onlyRecord().status, RecognitionStatus::success);
  EXPECT_EQ(pasteboard.string(), QStringLiteral("what was said"));
  EXPECT_THAT(overlays.panels(), IsEmpty());
}

TEST_F(RequestFlow, TheSelectionGoesWithTheUploadAndIsPutBackWheneverItIsGone) {
  pasteboard.copy({FakePasteboard::textItem(QStringLiteral("copied earlier"))});
  UserDefaults::shared().setBoolean(clipboardAccessEnabledKey, true);
  const auto field = selectInEditor(QStringLiteral("teh draft"), AXTextRange{4, 9});
  // The editor drops its selection when the recording indicator comes up.
  const auto drop = [&field] { field->attributes[AXAttribute::selectedTextRange] = {AXError::success, AXTextRange{13, 0}}; };
  overlays.onShowRecording = drop;
  answer(success(QStringLiteral("paste"), QStringLiteral("the draft")));

  handler->handleHotKey(HotKeyCombo::rewrite);
  EXPECT_EQ(recorder->state(), RecordingState::recording);
  ASSERT_TRUE(handler->selectionSnapshot());
  EXPECT_EQ(handler->clipboardHistory(), QStringList{QStringLiteral("copied earlier")});
  EXPECT_EQ(rangeWrites(*field), 1);  // put back at once
  ASSERT_TRUE(waitUntil([&] { return probesAnswered() == AppHotKeyHandler::probeDelays().size(); }));
  EXPECT_EQ(rangeWrites(*field), 1) << "the probes found it in place";

  drop();  // and again while the user speaks
  stopAndWaitForAnswer(HotKeyCombo::rewrite);
  EXPECT_EQ(rangeWrites(*field), 2);  // put back when processing begins
  EXPECT_EQ(uploadedField("operation"), "rewrite");
  EXPECT_EQ(uploadedField("selected_text"), "teh draft");
  EXPECT_EQ(uploadedField("clipboard_history"), R"(["copied earlier"])");
  EXPECT_EQ(onlyRecord().selectedText, QStringLiteral("teh draft"));
  EXPECT_EQ(pasteboard.string(), QStringLiteral("the draft"));
}

TEST_F(RequestFlow, AnEditorThatDoesNotAnswerHoldsUpNeitherTheStopNorTheUploadOnlyThePaste) {
  const auto field = selectInEditor(QStringLiteral("teh draft"), AXTextRange{4, 9});
  overlays.onShowRecording = [&field] {
    field->attributes[AXAttribute::selectedTextRange] = {AXError::success, AXTextRange{13, 0}};
  };
  QTimer editorAnswers;
  editorAnswers.setSingleShot(true);
  field->answersHeld = &editorAnswers;
  answer(success(QStringLiteral("paste"), QStringLiteral("the draft")));

  startRecording(HotKeyCombo::rewrite);
  ASSERT_TRUE(waitUntil([] { return traceLines().filter(QStringLiteral("probe-350ms")).size() == 1; }));
  EXPECT_EQ(rangeWrites(*field), 1) << "never asked again before it answers";
  EXPECT_EQ(probesAnswered(), 0);

  handler->handleHotKey(HotKeyCombo::rewrite);
  ASSERT_TRUE(service.waitForRequests(1));
  EXPECT_EQ(recorder->state(), RecordingState::processing);
  EXPECT_FALSE(waitUntil([&] { return pastesTyped() > 0; }, 100ms)) << "the paste waits for the selection";

  editorAnswers.start(0);
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  EXPECT_TRUE(waitUntil([&] { return pastesTyped() == 1; }));
  EXPECT_EQ(rangeWrites(*field), 1);
  EXPECT_THAT(traceLines(), Contains(QStringLiteral("Flow probe restore @350ms returned: true")));
}

TEST_F(RequestFlow, AStartThatCannotRecordEndsSilentlyAndForgetsTheRequest) {
  // The recorder's input does not start.
  engines.nextFailsToStart = true;
  useUnpreparedRecorder();
  selectInEditor(QStringLiteral("kept"), AXTextRange{0, 4});
  handler->handleHotKey(HotKeyCombo::rewrite);
  ASSERT_TRUE(waitUntil([&] { return !handler->isStartingRecording(); }));
  EXPECT_EQ(recorder->state(), RecordingState::idle);
  EXPECT_THAT(overlays.calls, ElementsAre("show recording", "hide recording"));
  EXPECT_FALSE(handler->currentOperation());
  EXPECT_FALSE(handler->selectionSnapshot());
  EXPECT_THAT(HistoryStore::shared().records(), IsEmpty());
}

TEST_F(RequestFlow, ARecordingTheHistoryCouldNotCopyIsSentAndKeptOnlyForARetry) {
  // Something that is not a folder stands where the audio copies go.
  const QString audioFolder = *HistoryStore::shared().audioDirectoryURL();
  ASSERT_TRUE(QDir(audioFolder).removeRecursively());
  QFile blocker(audioFolder);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  answer(success(QStringLiteral("paste"), QStringLiteral("still delivered")));
  request();
  EXPECT_EQ(pasteboard.string(), QStringLiteral("still delivered"));
  EXPECT_EQ(onlyRecord().status, RecognitionStatus::success);
  EXPECT_FALSE(onlyRecord().audioFilePath);
  EXPECT_THAT(recordingsInTemporaryFolder(), IsEmpty());

  HistoryStore::shared().deleteRecord(onlyRecord().id, false);
  answerError(500, "busy");
  request();
  ASSERT_TRUE(waitUntil([&] { return onlyRecord().audioFilePath.has_value(); }));
  const RecordingHistory failed = onlyRecord();
  EXPECT_TRUE(failed.retryable);
  EXPECT_TRUE(QFileInfo(*failed.audioFilePath).isFile()) << "what the user said is still there";

  // The folder is usable again: the retry sends the same recording.
  ASSERT_TRUE(blocker.remove());
  answer(success(QStringLiteral("paste"), QStringLiteral("second time")));
  awaitTask(retry(failed));
  EXPECT_EQ(service.requestCount(), 3);
  EXPECT_EQ(onlyRecord().status, RecognitionStatus::success);
  EXPECT_EQ(pasteboard.string(), QStringLiteral("second time"));
}

TEST_F(RequestFlow, EveryFailureEndsTheRequestWithItsOwnMessageAndFollowUp) {
  struct Row {
    const char* name;
    ScriptedResponse response;
    QString message;
    bool retryable, signsOut, tip, alert;
  };
  const AppStrings& strings = currentStrings();
  ScriptedResponse noAnswer;
  noAnswer.closeWithoutAnswer = true;
  const std::vector<Row> rows{
      {"unauthorized", ScriptedResponse::json(401, "{}"), strings.errorUnauthorized, true, true, false, false},
      {"banned", ScriptedResponse::json(403, R"({"code":"USER_BANNED","message":"no"})"), strings.errorUserBanned, true,
       true, false, false},
      {"credits used up", ScriptedResponse::json(402, R"({"code":"CREDITS_EXHAUSTED","message":"pay"})"),
       strings.errorCreditsExhausted, false, false, true, false},
      {"too long",
       ScriptedResponse::json(413, R"({"code":"DURATION_EXCEEDED","message":"l","config_update":{"max_duration_sec":30}})"),
       strings.errorDurationExceeded, false, false, false, true},
      {"service error", ScriptedResponse::text(500, "oops"), strings.errorUnknown, true, false, false, false},
      {"unknown action",
       ScriptedResponse::json(200, R"({"operation":"transcribe","action_type":"PASTE","transcript":"t","result":"r"})"),
       strings.errorDecode, true, false, false, false},
      {"no answer", noAnswer, strings.errorConnectionLost, true, false, false, false},
  };
  // A sign-out empties the history in memory, as in the program: what the
  // request left is read from its account's file.
  AuthStore::SessionHooks hooks;
  hooks.loadHistory = [] { HistoryStore::shared().load(); };
  hooks.clearHistory = [] { HistoryStore::shared().clearRecords(); };
  AuthStore::shared().setSessionHooks(hooks);
  const QString file = HistoryStore::historyDirectoryURL(QStringLiteral("writer@example.com")) + "/recording_history.json";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AuthStore::shared().setEmail(QStringLiteral("writer@example.com"));
    AuthStore::shared().setToken(QStringLiteral("token-1"));
    AuthStore::shared().setCreditsTotal(100);
    AuthStore::shared().setCreditsRemaining(50);
    HistoryStore::shared().load();
    overlays.calls.clear();
    alerts.clear();
    service.enqueue("POST", processPath(), row.response);

    request();
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const RecordingHistory record = RecordingHistory::decodeList(saved.readAll()).value_or(QList<RecordingHistory>{}).value(0);
    EXPECT_EQ(record.status, RecognitionStatus::failed);
    EXPECT_EQ(record.retryable, row.retryable);
    EXPECT_EQ(record.errorMessage, row.message);
    EXPECT_EQ(AuthStore::shared().isSignedIn(), !row.signsOut);
    EXPECT_EQ(RecordingResultStore::shared().errorMessage(), row.signsOut ? std::nullopt : std::optional(row.message));
    EXPECT_EQ(overlays.panels(), row.tip ? QStringList{"tip " + row.message} : QStringList{});
    EXPECT_EQ(alerts, row.alert ? QStringList{row.message} : QStringList{});
    EXPECT_FALSE(overlays.recordingShown);
    EXPECT_EQ(pastesTyped(), 0);
  }
  EXPECT_EQ(recorder->maxDuration(), 30.0);
}

TEST_F(RequestFlow, EachActionOfASuccessReachesItsPanel) {
  const AppStrings& strings = currentStrings();
  QJsonObject clarify = success("clarify", "");
  clarify["clarify_question"] = "Which file?";
  const struct {
    QJsonObject answer;
    QString panel;
    QString result;
  } rows[] = {
      {clarify, "clarify Which file?", ""},
      {success("clarify", ""), "clarify " + strings.overlayClarifyFallback, ""},
      {success("show_markdown", "# Title"), "result markdown # Title", "# Title"},
      {success("tip", "OPENCLAW_NOT_INSTALLED"), "tip " + strings.openclawTipNotInstalled, strings.openclawTipNotInstalled},
      {success("tip", "Say it slower"), "tip Say it slower", "Say it slower"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.panel.toStdString());
    overlays.calls.clear();
    answer(row.answer);
    request(HotKeyCombo::agent);
    EXPECT_EQ(overlays.panels(), QStringList{row.panel});
    EXPECT_EQ(newest().status, RecognitionStatus::success);
    EXPECT_EQ(newest().actionType, row.answer["action_type"].toString());
    EXPECT_EQ(newest().result, row.result);
    EXPECT_EQ(RecordingResultStore::shared().result(), row.result);
  }
  EXPECT_EQ(pastesTyped(), 0);
  EXPECT_FALSE(pasteboard.string());
}

TEST_F(RequestFlow, AnAlertKeepsTheRequestOpenUntilItIsClosed) {
  // A success with credits, a longer limit and a warning: the paste first, the alert after.
  QJsonObject body = success("paste", "Dear team,");
  body["credits_remaining"] = 7;
  body["config_update"] = QJsonObject{{"max_duration_sec", 120}};
  body["warning"] = "Almost out of credits";
  answer(body);
  service.enqueue("POST", processPath(), ScriptedResponse::json(413, R"({"code":"DURATION_EXCEEDED","message":"x"})"));
  alertsCloseAtOnce = false;
  for (const bool tooLong : {false, true}) {
    SCOPED_TRACE(tooLong ? "too long" : "warning");
    alerts.clear();
    startRecording();
    handler->handleHotKey(HotKeyCombo::transcribe);
    ASSERT_TRUE(waitUntil([&] { return !alerts.isEmpty(); }));
    EXPECT_EQ(recorder->state(), RecordingState::processing);
    EXPECT_TRUE(overlays.recordingShown);
    closeAlert();
    ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
    EXPECT_FALSE(overlays.recordingShown);
  }
  EXPECT_EQ(HistoryStore::shared().records().value(1).result, QStringLiteral("Dear team,"));
  EXPECT_EQ(pasteboard.string(), QStringLiteral("Dear team,"));
  EXPECT_EQ(AuthStore::shared().creditsRemaining(), 7);
  EXPECT_EQ(recorder->maxDuration(), 120.0);
  EXPECT_FALSE(newest().retryable);
}

TEST_F(RequestFlow, RetriesFromTheHistoryTouchOnlyTheirOwnRecord) {
  const RecordingHistory stored = storedRecord();
  startRecording();
  overlays.calls.clear();
  answer(success("show_markdown", "retried answer"));
  awaitTask(retry(stored));
  EXPECT_EQ(uploadedField("operation"), "rewrite");
  EXPECT_EQ(uploadedField("selected_text"), "old words");
  RecordingHistory record = *HistoryStore::shared().record(stored.id);
  EXPECT_EQ(record.status, RecognitionStatus::success);
  EXPECT_EQ(record.result, QStringLiteral("retried answer"));
  EXPECT_TRUE(record.processStartedAt);
  EXPECT_EQ(recorder->state(), RecordingState::recording) << "the live recording goes on";
  EXPECT_TRUE(overlays.recordingShown);
  EXPECT_EQ(overlays.calls, QStringList{"result markdown retried answer"});
  EXPECT_EQ(handler->currentOperation(), QStringLiteral("transcribe"));

  // Without its audio a retry fails without asking the service.
  const RecordingHistory silent = storedRecord(false);
  awaitTask(retry(silent));
  EXPECT_EQ(service.requestCount(), 1);
  EXPECT_EQ(HistoryStore::shared().record(silent.id)->errorMessage, currentStrings().errorInvalidAudio);
  EXPECT_TRUE(HistoryStore::shared().record(silent.id)->retryable);
}

class AgentActions : public RequestFlow {
 protected:
  struct Call {
    QString how;
    QString text;
    ActionDispatcher::AgentBridge::ReplyHandler onReply;
    ActionDispatcher::AgentBridge::FailureHandler onFailure;
  };
  void SetUp() override {
    RequestFlow::SetUp();
    handler->dispatcher().setAgentBridge(
        {[this](const QString& text, auto onReply, auto onFailure) { calls.append({"relay", text, onReply, onFailure}); },
         [this](const QString& text, auto onReply, auto onFailure) { calls.append({"command", text, onReply, onFailure}); }});
  }
  // Asks the agent by voice and returns the one call that reached it.
  Call ask(const QString& action, const QString& text) {
    calls.clear();
    answer(success(action, text));
    request(HotKeyCombo::agent);
    EXPECT_TRUE(waitUntil([&] { return calls.size() == 1; }));
    return calls.value(0);
  }
  QList<Call> calls;
};

TEST_F(AgentActions, EachCommandReachesTheAgentAndOnlyGatewayRepliesCompleteTheRecord) {
  const QString processing = currentStrings().openclawProcessing;
  const struct {
    QString action, how;
    bool withReply;
    QString resultUntilReply;
  } rows[] = {
      {"openclaw_slash_command", "command", true, processing}, {"openclaw_command", "command", true, processing},
      {"openclaw_cli_command", "command", false, "openclaw status"},
      {"openclaw_interactive", "command", false, "openclaw status"}, {"openclaw_execute", "relay", true, processing},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.action.toStdString());
    const Call call = ask(row.action, "openclaw status");
    EXPECT_EQ(call.how, row.how);
    EXPECT_EQ(call.text, "openclaw status");
    ASSERT_EQ(bool(call.onReply), row.withReply);
    EXPECT_EQ(bool(call.onFailure), row.withReply);
    const QString id = newest().id;
    EXPECT_EQ(newest().actionType, row.action);
    EXPECT_EQ(newest().result, row.resultUntilReply);
    if (!row.withReply) continue;
    if (row.how == "relay") {
      call.onReply(QString());  // an empty reply keeps the placeholder
      EXPECT_EQ(newest().result, processing);
      call.onReply(QStringLiteral("It does nothing."));
      EXPECT_EQ(newest().status, RecognitionStatus::success);
      EXPECT_EQ(newest().result, QStringLiteral("It does nothing."));
    } else {
      call.onFailure(QStringLiteral("no gateway"));
      EXPECT_EQ(newest().status, RecognitionStatus::failed);
      EXPECT_EQ(newest().errorMessage, QStringLiteral("no gateway"));
      EXPECT_TRUE(newest().retryable);
    }
    EXPECT_TRUE(newest().processingDuration);
    EXPECT_EQ(newest().id, id);
  }
  EXPECT_THAT(overlays.panels(), IsEmpty());
  EXPECT_EQ(pastesTyped(), 0);
}

TEST_F(AgentActions, TheGatewayGetsTheSelectionAndALateReplyChangesNothing) {
  selectInEditor(QStringLiteral("def f(): pass"), AXTextRange{0, 13});
  const Call call = ask("openclaw_execute", "explain this");
  EXPECT_EQ(call.text, OpenClawManager::composeWithSelection("explain this", QStringLiteral("def f(): pass")));
  handler.reset();  // the flow is gone before the agent replies
  call.onReply(QStringLiteral("too late"));
  EXPECT_EQ(newest().result, currentStrings().openclawProcessing);
}

}  // namespace
