// The request flow from the first press to the answer, over fakes: which
// presses start, stop or are ignored, the selection and context that go with
// the upload, the cancels through the indicator's close button, the longest
// recording, and recordings whose audio copy cannot be kept.
#include "flowfixture.h"
#include "tracelines.h"
#include "wavfile.h"

#include "core/appevents.h"
#include "core/paths.h"
#include "localization/appstrings.h"
#include "pipeline/clipboardhistory.h"
#include "pipeline/recordingresultstore.h"
#include "core/userdefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gmock/gmock.h>

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class RequestFlow : public FlowFixture {
 protected:
  QStringList recordingsInTemporaryFolder() const {
    return QDir(Paths::temporaryDirectory()).entryList({QStringLiteral("*.wav")}, QDir::Files);
  }

  // A flow whose recorder has not prepared its engine yet, so that a start
  // waits for the preparation (the window in which a start is in flight).
  void useUnpreparedRecorder() {
    handler.reset();
    recorder = std::make_unique<AudioRecorder>(engines.factory(), [] { return true; });
    handler = std::make_unique<AppHotKeyHandler>(*recorder, HistoryStore::shared());
  }

  // The selection the editor offers through accessibility.
  std::shared_ptr<FakeElement> selectInEditor(const QString& text, AXTextRange range) {
    auto field = FakeElement::text(text, range);
    accessibility.systemWideElement = FakeElement::focusing(field);
    return field;
  }

  static qsizetype rangeWrites(const FakeElement& element) {
    return std::count_if(element.writes.cbegin(), element.writes.cend(),
                         [](const auto& write) { return write.first == AXAttribute::selectedTextRange; });
  }
};

TEST_F(RequestFlow, APressRecordsTheNextUploadsAndTheAnswerIsPastedWhereTheUserWorks) {
  answer(success(QStringLiteral("paste"), QStringLiteral("Hello world"), QStringLiteral("hello world")));
  startRecording();
  EXPECT_EQ(handler->currentOperation(), QStringLiteral("transcribe"));
  EXPECT_EQ(handler->targetAppPid(), kEditorPid);
  EXPECT_TRUE(overlays.recordingShown);
  const QStringList recordings = recordingsInTemporaryFolder();
  ASSERT_EQ(recordings.size(), 1);

  stopAndWaitForAnswer();
  ASSERT_EQ(service.requestCount(), 1);
  EXPECT_EQ(service.lastRequest().path, processPath());
  EXPECT_EQ(uploadedField("operation"), "transcribe");
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
  EXPECT_TRUE(service.lastRequest().body.contains("filename=\"" + recordings.first().toUtf8() + "\""));

  EXPECT_EQ(pasteboard.string(), QStringLiteral("Hello world"));
  EXPECT_EQ(pastesTyped(), 1);
  EXPECT_THAT(overlays.calls, ElementsAre("show recording", "hide recording"));

  const RecordingHistory record = onlyRecord();
  EXPECT_EQ(record.operation, QStringLiteral("transcribe"));
  EXPECT_EQ(record.status, RecognitionStatus::success);
  EXPECT_EQ(record.transcript, QStringLiteral("hello world"));
  EXPECT_EQ(record.result, QStringLiteral("Hello world"));
  EXPECT_EQ(record.actionType, QStringLiteral("paste"));
  EXPECT_TRUE(record.processingDuration.has_value());
  EXPECT_EQ(record.id, record.id.toUpper());
  // The history keeps its copy for a retry; the recording itself is gone.
  ASSERT_TRUE(record.audioFilePath);
  EXPECT_TRUE(QFileInfo(*record.audioFilePath).isFile());
  EXPECT_EQ(QFileInfo(*record.audioFilePath).fileName(), recordings.first());
  EXPECT_THAT(recordingsInTemporaryFolder(), IsEmpty());

  EXPECT_EQ(RecordingResultStore::shared().transcript(), QStringLiteral("hello world"));
  EXPECT_EQ(RecordingResultStore::shared().result(), QStringLiteral("Hello world"));
  EXPECT_FALSE(handler->processor().processingRecordId());
}

TEST_F(RequestFlow, PressesThatMustNotStartARecordingChangeNothing) {
  struct Row {
    const char* name;
    std::function<void()> arrange;
    QStringList panels;
  };
  const QString creditsTip = QStringLiteral("tip ") + currentStrings().errorCreditsExhausted;
  const std::vector<Row> rows{
      {"signed out", [] { AuthStore::shared().setToken(std::nullopt); }, {}},
      {"no desktop trust",
       [this] {
         trust.trusted = false;
         PermissionManager::shared().refresh();
       },
       {}},
      {"credits used up",
       [] {
         AuthStore::shared().setCreditsTotal(5);
         AuthStore::shared().setCreditsRemaining(0);
       },
       {creditsTip}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AuthStore::shared().setToken(QStringLiteral("token-1"));
    AuthStore::shared().setCreditsTotal(100);
    AuthStore::shared().setCreditsRemaining(50);
    trust.trusted = true;
    PermissionManager::shared().refresh();
    overlays.calls.clear();

    row.arrange();
    handler->handleHotKey(HotKeyCombo::rewrite);
    QTest::qWait(20);
    EXPECT_EQ(recorder->state(), RecordingState::idle);
    EXPECT_FALSE(handler->currentOperation());
    EXPECT_EQ(overlays.calls, row.panels);
  }
  EXPECT_THAT(recordingsInTemporaryFolder(), IsEmpty());
}

TEST_F(RequestFlow, CreditsAreNotLookedAtWhenThePlanHasNone) {
  AuthStore::shared().setCreditsTotal(0);
  AuthStore::shared().setCreditsRemaining(0);
  startRecording(HotKeyCombo::agent);
  EXPECT_EQ(handler->currentOperation(), QStringLiteral("agent"));
}

TEST_F(RequestFlow, PressesWhileAStartIsInFlightOrAnAnswerIsAwaitedAreIgnored) {
  // Nothing is selected, so the copy command holds the start; the user presses
  // again meanwhile. Like the key listener's, that press is handed over on a
  // later turn of the event loop. A prepared recorder answers the start at
  // once, an unprepared one only after its preparation.
  for (const bool prepared : {true, false}) {
    SCOPED_TRACE(prepared ? "prepared recorder" : "unprepared recorder");
    if (!prepared) useUnpreparedRecorder();
    int pressesDuringCopy = 0;
    keyboard.onChord = [&](const KeyChord& chord) {
      if (chord.key != KeyChord::Key::c) return;
      QMetaObject::invokeMethod(
          handler.get(),
          [&] {
            handler->handleHotKey(HotKeyCombo::rewrite);
            ++pressesDuringCopy;
          },
          Qt::QueuedConnection);
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
  handler->handleHotKey(HotKeyCombo::transcribe);  // ignored while processing
  QTest::qWait(20);
  EXPECT_EQ(recorder->state(), RecordingState::processing);
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  EXPECT_EQ(service.requestCount(), 1);
  EXPECT_EQ(HistoryStore::shared().records().size(), 1);
}

TEST_F(RequestFlow, WhatIsSaidWhileTheSelectionIsReadIsRecorded) {
  answer(success(QStringLiteral("show_markdown"), QStringLiteral("heard")));
  // The user speaks while the copy command waits for a selection (there is none).
  bool heardDuringCopy = false;
  keyboard.onChord = [&](const KeyChord& chord) {
    if (chord.key == KeyChord::Key::c && !heardDuringCopy && engines.latest()) {
      heardDuringCopy = engines.latest()->deliver(SignalAnalysis::tone(440, 48000, 2, 9600, 0.5));
    }
  };
  startRecording();
  EXPECT_TRUE(heardDuringCopy);
  stopAndWaitForAnswer();
  const std::optional<QString> audio = onlyRecord().audioFilePath;
  ASSERT_TRUE(audio);
  const std::optional<WavFile> wav = WavFile::read(*audio);
  ASSERT_TRUE(wav);
  EXPECT_NEAR(wav->durationSeconds(), 0.2, 0.01);
  EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000), 440.0, 3.0);
}

TEST_F(RequestFlow, ClosingTheIndicatorDuringTheStartDiscardsTheRecording) {
  useUnpreparedRecorder();
  handler->handleHotKey(HotKeyCombo::transcribe);
  ASSERT_TRUE(handler->isStartingRecording());
  Q_EMIT AppEvents::shared().overlayDismissedDuringRecording();
  ASSERT_TRUE(waitUntil([&] { return !handler->isStartingRecording(); }));
  QTest::qWait(20);
  EXPECT_EQ(recorder->state(), RecordingState::idle);
  EXPECT_THAT(traceLines(), Contains("startRecording: user cancelled during engine startup, discarding"));
  EXPECT_FALSE(overlays.recordingShown);
  EXPECT_THAT(HistoryStore::shared().records(), IsEmpty());
  EXPECT_THAT(recordingsInTemporaryFolder(), IsEmpty());
}

TEST_F(RequestFlow, ClosingTheIndicatorWhileRecordingCancelsWithoutARecord) {
  startRecording();
  Q_EMIT AppEvents::shared().overlayDismissedDuringRecording();
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  EXPECT_FALSE(overlays.recordingShown);
  EXPECT_FALSE(handler->currentOperation());
  EXPECT_FALSE(handler->targetAppPid());
  EXPECT_THAT(recordingsInTemporaryFolder(), IsEmpty());
  QTest::qWait(20);
  EXPECT_EQ(service.requestCount(), 0);
  EXPECT_THAT(HistoryStore::shared().records(), IsEmpty());
}

TEST_F(RequestFlow, ClosingTheIndicatorWhileProcessingFailsTheRecordAndDropsTheLateAnswer) {
  answer(success(QStringLiteral("paste"), QStringLiteral("too late")), 400ms);
  startRecording();
  handler->handleHotKey(HotKeyCombo::transcribe);
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1; }));
  Q_EMIT AppEvents::shared().overlayDismissedDuringProcessing();
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  EXPECT_FALSE(overlays.recordingShown);
  RecordingHistory record = onlyRecord();
  EXPECT_EQ(record.status, RecognitionStatus::failed);
  EXPECT_EQ(record.errorMessage, currentStrings().errorUserCancelled);
  EXPECT_TRUE(record.retryable);
  EXPECT_THAT(handler->processor().cancelledRecordIds(), Contains(record.id));

  // The user goes on with a new recording before the old answer arrives.
  startRecording(HotKeyCombo::rewrite);
  ASSERT_TRUE(waitUntil([&] { return handler->processor().cancelledRecordIds().isEmpty(); }, 3s));
  QTest::qWait(20);
  EXPECT_EQ(onlyRecord(), record);
  EXPECT_EQ(recorder->state(), RecordingState::recording);
  EXPECT_TRUE(overlays.recordingShown);
  EXPECT_EQ(pastesTyped(), 0);
  EXPECT_FALSE(pasteboard.string());
  EXPECT_EQ(RecordingResultStore::shared().result(), QString());
}

TEST_F(RequestFlow, TheLongestRecordingStopsLikeASecondPress) {
  answer(success(QStringLiteral("paste"), QStringLiteral("one minute later")));
  recorder->setMaxDuration(1);  // 100 ms at the test's pace, over before the copy command gives up
  handler->handleHotKey(HotKeyCombo::transcribe);
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1; }));
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  EXPECT_EQ(onlyRecord().status, RecognitionStatus::success);
  EXPECT_EQ(pasteboard.string(), QStringLiteral("one minute later"));
}

TEST_F(RequestFlow, AMicrophoneLostWithNoOtherStopsLikeASecondPressAndSaysSo) {
  answer(success(QStringLiteral("paste"), QStringLiteral("what was said")));
  startRecording();
  ASSERT_TRUE(engines.latest()->deliver(SignalAnalysis::tone(440, 48000, 2, 4 * 4096, 0.5)));
  engines.nextFormat = {};  // no other input to go on with
  engines.latest()->announceConfigurationChange();
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1; }));
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  const RecordingHistory record = onlyRecord();
  EXPECT_EQ(record.status, RecognitionStatus::success);
  EXPECT_EQ(pasteboard.string(), QStringLiteral("what was said"));
  EXPECT_EQ(overlays.panels(), QStringList{QStringLiteral("tip ") + currentStrings().errorMicrophoneLost});
  // What was said before the microphone went is what went up.
  ASSERT_TRUE(record.audioFilePath);
  const auto wav = WavFile::read(*record.audioFilePath);
  ASSERT_TRUE(wav);
  EXPECT_NEAR(static_cast<double>(wav->samples.size()), 4 * 4096 / 3.0, 3.0);
}

TEST_F(RequestFlow, TheSelectionGoesWithTheUploadAndIsPutBackWhileRecording) {
  pasteboard.copy({FakePasteboard::textItem(QStringLiteral("copied earlier"))});
  UserDefaults::shared().setBoolean(clipboardAccessEnabledKey, true);
  const auto field = selectInEditor(QStringLiteral("teh draft"), AXTextRange{4, 9});
  answer(success(QStringLiteral("paste"), QStringLiteral("the draft")));

  handler->handleHotKey(HotKeyCombo::rewrite);
  EXPECT_EQ(recorder->state(), RecordingState::recording);
  ASSERT_TRUE(handler->selectionSnapshot());
  EXPECT_EQ(handler->selectionSnapshot()->source, SelectionSnapshot::Source::axSystemWide);
  EXPECT_EQ(handler->clipboardHistory(), QStringList{QStringLiteral("copied earlier")});
  EXPECT_EQ(rangeWrites(*field), 1);  // put back at once
  // Then once at each probe.
  ASSERT_TRUE(waitUntil([&] {
    return rangeWrites(*field) == 1 + AppHotKeyHandler::probeDelays().size() && !handler->isStartingRecording();
  }));

  stopAndWaitForAnswer(HotKeyCombo::rewrite);
  EXPECT_EQ(rangeWrites(*field), 2 + AppHotKeyHandler::probeDelays().size());  // and when processing begins
  EXPECT_EQ(uploadedField("operation"), "rewrite");
  EXPECT_EQ(uploadedField("selected_text"), "teh draft");
  EXPECT_EQ(uploadedField("clipboard_history"), R"(["copied earlier"])");
  EXPECT_EQ(onlyRecord().selectedText, QStringLiteral("teh draft"));
  EXPECT_EQ(pasteboard.string(), QStringLiteral("the draft"));
}

TEST_F(RequestFlow, ProbesStopWithTheRecording) {
  const auto field = selectInEditor(QStringLiteral("words"), AXTextRange{0, 5});
  answer(success(QStringLiteral("show_markdown"), QStringLiteral("**answer**")));
  handler->handleHotKey(HotKeyCombo::agent);
  handler->stopAndProcess();  // stopped before any probe was due
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  const qsizetype writes = rangeWrites(*field);
  EXPECT_EQ(writes, 2);  // at the start and when processing began
  QTest::qWait(100);     // well past the last probe (35 ms at the test's pace)
  EXPECT_EQ(rangeWrites(*field), writes);
}

TEST_F(RequestFlow, ASelectionMadeDuringTheRecordingIsTakenAtTheStop) {
  answer(success(QStringLiteral("show_markdown"), QStringLiteral("done")));
  startRecording(HotKeyCombo::agent);
  EXPECT_FALSE(handler->selectionSnapshot());
  const auto field = selectInEditor(QStringLiteral("chosen later"), AXTextRange{0, 12});
  stopAndWaitForAnswer(HotKeyCombo::agent);
  EXPECT_EQ(uploadedField("selected_text"), "chosen later");
  EXPECT_EQ(rangeWrites(*field), 0);  // taken, never put back
}

TEST_F(RequestFlow, AMicrophoneRefusedAtTheStartEndsItSilently) {
  microphone.status = MicrophoneAccess::Authorization::denied;
  microphone.grantOnRequest = false;
  PermissionManager::shared().refresh();
  handler->handleHotKey(HotKeyCombo::transcribe);
  ASSERT_TRUE(waitUntil([&] { return microphone.requests == 1 && !handler->isStartingRecording(); }));
  EXPECT_EQ(recorder->state(), RecordingState::idle);
  EXPECT_FALSE(handler->currentOperation());
  EXPECT_THAT(overlays.calls, IsEmpty());

  // The user plugs a microphone in before the next press.
  microphone.status = MicrophoneAccess::Authorization::authorized;
  startRecording();
  EXPECT_EQ(microphone.requests, 2);
}

TEST_F(RequestFlow, ARecorderThatCannotStartHidesTheIndicatorAndForgetsTheRequest) {
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

TEST_F(RequestFlow, UnderTheNeverPolicyTheRecordingItselfIsSentAndRemovedAfterTheAnswer) {
  HistoryStore::shared().setRetentionPolicy(RetentionPolicy::never);
  answer(success(QStringLiteral("paste"), QStringLiteral("not kept")), 200ms);
  startRecording();
  const QStringList recordings = recordingsInTemporaryFolder();
  handler->handleHotKey(HotKeyCombo::transcribe);
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1; }));
  EXPECT_TRUE(service.lastRequest().body.contains("filename=\"" + recordings.first().toUtf8() + "\""));
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  EXPECT_EQ(pasteboard.string(), QStringLiteral("not kept"));
  EXPECT_FALSE(overlays.recordingShown);
  EXPECT_THAT(HistoryStore::shared().records(), IsEmpty());
  EXPECT_THAT(recordingsInTemporaryFolder(), IsEmpty());
  EXPECT_THAT(QDir(*HistoryStore::shared().audioDirectoryURL()).entryList(QDir::Files), IsEmpty());
}

TEST_F(RequestFlow, AFailedAudioCopyNeitherLosesTheRecordingNorLeavesTheFlowProcessing) {
  // Something that is not a folder stands where the audio copies go.
  const QString audioFolder = *HistoryStore::shared().audioDirectoryURL();
  ASSERT_TRUE(QDir(audioFolder).removeRecursively());
  QFile blocker(audioFolder);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();

  answer(success(QStringLiteral("paste"), QStringLiteral("still delivered")));
  request();
  EXPECT_EQ(service.requestCount(), 1);
  EXPECT_TRUE(service.lastRequest().body.contains("name=\"file\""));
  EXPECT_EQ(pasteboard.string(), QStringLiteral("still delivered"));
  const RecordingHistory record = onlyRecord();
  EXPECT_EQ(record.status, RecognitionStatus::success);
  EXPECT_FALSE(record.audioFilePath);
  EXPECT_FALSE(overlays.recordingShown);
  EXPECT_THAT(recordingsInTemporaryFolder(), IsEmpty());
}

TEST_F(RequestFlow, ARecordingTheHistoryCouldNotCopyIsKeptForARetryWhenTheRequestFails) {
  const QString audioFolder = *HistoryStore::shared().audioDirectoryURL();
  ASSERT_TRUE(QDir(audioFolder).removeRecursively());
  QFile blocker(audioFolder);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();

  answerError(500, "busy");
  request();
  ASSERT_TRUE(waitUntil([&] { return onlyRecord().audioFilePath.has_value(); }));
  const RecordingHistory failed = onlyRecord();
  EXPECT_EQ(failed.status, RecognitionStatus::failed);
  EXPECT_TRUE(failed.retryable);
  EXPECT_TRUE(QFileInfo(*failed.audioFilePath).isFile()) << "what the user said is still there";

  // The folder is usable again: the retry sends the same recording.
  ASSERT_TRUE(QFile::remove(audioFolder));
  answer(success(QStringLiteral("paste"), QStringLiteral("second time")));
  awaitTask(handler->processRecord(failed.id, failed.operation, failed.audioFilePath, failed.selectedText));
  EXPECT_EQ(service.requestCount(), 2);
  EXPECT_EQ(onlyRecord().status, RecognitionStatus::success);
  EXPECT_EQ(pasteboard.string(), QStringLiteral("second time"));
}

TEST_F(RequestFlow, NoticesThatEndARecordingLeaveTheProcessingIndicatorAloneAfterTheStop) {
  answer(success(QStringLiteral("paste"), QStringLiteral("slow")), 300ms);
  startRecording();
  handler->handleHotKey(HotKeyCombo::transcribe);
  // Came in just after the press.
  Q_EMIT AppEvents::shared().recordingMaxDurationReached();
  Q_EMIT AppEvents::shared().recordingInputLost();
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1; }));
  QTest::qWait(50);
  EXPECT_EQ(recorder->state(), RecordingState::processing);
  EXPECT_TRUE(overlays.recordingShown);
  ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  EXPECT_EQ(service.requestCount(), 1);
  EXPECT_FALSE(overlays.calls.join(u'|').contains(QStringLiteral("tip ")));
}

}  // namespace
