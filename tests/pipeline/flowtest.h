#pragma once

// The request flow over fakes of everything around it (trust, front
// application, accessibility, clipboard, keyboard, microphone, an audio
// engine fed by the test, the panels, the alert) and a fake service on
// loopback that answers "/audio/process" as the test scripts it. Signed in
// with plenty of credits; the flow's waits run ten times faster.
//
// A test starts from a fresh process's shared state and is never ended while
// an answer or a retry of its flow is still under way.

#include "awaittask.h"
#include "fakeaccessibility.h"
#include "fakeaccessibilitytrust.h"
#include "fakeaudioengine.h"
#include "fakefrontapplication.h"
#include "fakemicrophoneaccess.h"
#include "fakepasteboard.h"
#include "fakesynthetickeyboard.h"
#include "pipelinestate.h"
#include "recordingoverlaypresenter.h"

#include "pipeline/apphotkeyhandler.h"
#include "pipeline/audiorecorder.h"
#include "pipeline/permissionmanager.h"

#include <QCoroSignal>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

class FlowTest : public ::testing::Test {
 protected:
  static constexpr qint32 kEditorPid = 4242;

  void SetUp() override {
    resetPipelineState();
    service.clearRequests();
    Clock::setTimeScaleForTesting(0.1);
    AuthStore& account = AuthStore::shared();
    account.setEmail(QStringLiteral("writer@example.com"));
    account.setToken(QStringLiteral("token-1"));
    account.setCreditsTotal(100);
    account.setCreditsRemaining(50);
    HistoryStore::shared().load();
    PermissionManager::shared().refresh();
    FlowAlert::setPresenterForTesting([this](QString message) -> QCoro::Task<void> {
      alerts << message;
      if (alertsCloseAtOnce) co_return;
      co_await qCoro(&alertGate, &QTimer::timeout);
    });
    alertGate.setSingleShot(true);
    recorder = std::make_unique<AudioRecorder>(engines.factory(), [] {
      return PermissionManager::shared().microphoneStatus() == PermissionStatus::granted;
    });
    awaitTask(recorder->prepareEngine());
    handler = std::make_unique<AppHotKeyHandler>(*recorder, HistoryStore::shared());
  }

  void TearDown() override {
    if (handler) {
      handler->cancelRecording();
      EXPECT_TRUE(waitUntil([&] { return recorder->state() != RecordingState::recording && !handler->isStartingRecording(); }));
      closeAlert();
      EXPECT_TRUE(waitUntil([&] {
        return recorder->state() == RecordingState::idle && !handler->processor().processingRecordId() &&
               handler->processor().cancelledRecordIds().isEmpty();
      }));
    }
    handler.reset();
    resetPipelineState();
  }

  void closeAlert() { alertGate.start(0); }
  static QByteArray processPath() { return "/veltrine/api/v1/audio/process"; }
  void answer(const QJsonObject& body, std::chrono::milliseconds delay = std::chrono::milliseconds(0)) {
    ScriptedResponse response = ScriptedResponse::json(200, QJsonDocument(body).toJson(QJsonDocument::Compact));
    response.delay = delay;
    service.enqueue("POST", processPath(), response);
  }
  void answerError(int status, const QByteArray& body) {
    service.enqueue("POST", processPath(), ScriptedResponse::json(status, body));
  }
  static QJsonObject success(const QString& action, const QString& result, const QString& transcript = "heard") {
    return QJsonObject{{"operation", "transcribe"}, {"action_type", action}, {"transcript", transcript}, {"result", result}};
  }

  // Presses a hotkey and waits until the recorder runs and the start is over.
  void startRecording(HotKeyCombo combo = HotKeyCombo::transcribe) {
    handler->handleHotKey(combo);
    ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::recording && !handler->isStartingRecording(); }));
  }
  // Presses again and waits until the answer has been carried out.
  void stopAndWaitForAnswer(HotKeyCombo combo = HotKeyCombo::transcribe) {
    handler->handleHotKey(combo);
    ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  }
  void request(HotKeyCombo combo = HotKeyCombo::transcribe) {
    startRecording(combo);
    stopAndWaitForAnswer(combo);
  }

  qsizetype pastesTyped() const {
    return std::count(keyboard.chords.cbegin(), keyboard.chords.cend(), KeyChord::shiftInsert());
  }
  RecordingHistory onlyRecord() const {
    EXPECT_EQ(HistoryStore::shared().records().size(), 1);
    return HistoryStore::shared().records().value(0);
  }
  // The value of one form field of the last upload ("" when absent).
  QByteArray uploadedField(const QByteArray& name) const {
    const QByteArray body = service.lastRequest().body;
    const QByteArray marker = "name=\"" + name + "\"\r\n\r\n";
    const qsizetype start = body.indexOf(marker);
    if (start < 0) return {};
    const qsizetype valueStart = start + marker.size();
    return body.mid(valueStart, body.indexOf("\r\n--", valueStart) - valueStart);
  }
  FakeService& service = processService();
  FakeAccessibilityTrust trust{true};
  FakeMicrophoneAccess microphone{MicrophoneAccess::Authorization::authorized};
  FakeFrontApplication front{FakeFrontApplication::named(QStringLiteral("Editor"), kEditorPid)};
  FakeAccessibility accessibility;
  FakePasteboard pasteboard;
  FakeSyntheticKeyboard keyboard;
  RecordingOverlayPresenter overlays;
  FakeAudioEngines engines;
  std::unique_ptr<AudioRecorder> recorder;
  std::unique_ptr<AppHotKeyHandler> handler;
  QStringList alerts;  // alerts shown; they close at once unless the test keeps them open
  bool alertsCloseAtOnce = true;
  QTimer alertGate;
};
