#pragma once

// The request flow over fakes of everything around it: the desktop (trust,
// front application, accessibility, clipboard, keyboard, microphone), an
// audio engine fed by the test, the floating panels, the alert, and a fake
// service on loopback that answers "/audio/process" as the test scripts it.
// The account is signed in with plenty of credits; the flow's waits run ten
// times faster than in the program.

#include "awaittask.h"
#include "fakeaccessibility.h"
#include "fakeaccessibilitytrust.h"
#include "fakeaudioengine.h"
#include "fakefrontapplication.h"
#include "fakemicrophoneaccess.h"
#include "fakepasteboard.h"
#include "fakeservice.h"
#include "fakesynthetickeyboard.h"
#include "recordingoverlaypresenter.h"

#include "core/clock.h"
#include "pipeline/apphotkeyhandler.h"
#include "pipeline/audiorecorder.h"
#include "pipeline/flowalert.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "service/authstore.h"

#include <QCoroSignal>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

class FlowFixture : public ::testing::Test {
 protected:
  static constexpr qint32 kEditorPid = 4242;

  FlowFixture() { qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8()); }

  void SetUp() override {
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
    FlowAlert::setPresenterForTesting({});
    Clock::setTimeScaleForTesting(1.0);
  }

  // The user closes the alert that is open.
  void closeAlert() { alertGate.start(0); }

  static QByteArray processPath() { return "/veltrine/api/v1/audio/process"; }

  // Queues one answer of the service to an upload.
  void answer(const QJsonObject& body, std::chrono::milliseconds delay = std::chrono::milliseconds(0)) {
    ScriptedResponse response = ScriptedResponse::json(200, QJsonDocument(body).toJson(QJsonDocument::Compact));
    response.delay = delay;
    service.enqueue("POST", processPath(), response);
  }
  void answerError(int status, const QByteArray& body) {
    service.enqueue("POST", processPath(), ScriptedResponse::json(status, body));
  }

  static QJsonObject success(const QString& action, const QString& result, const QString& transcript = "heard") {
    return QJsonObject{{"operation", "transcribe"}, {"action_type", action}, {"transcript", transcript},
                       {"result", result}};
  }

  // Presses a hotkey and waits until the recorder runs and the start is over
  // (presses before that belong to the start).
  void startRecording(HotKeyCombo combo = HotKeyCombo::transcribe) {
    handler->handleHotKey(combo);
    ASSERT_TRUE(waitUntil(
        [&] { return recorder->state() == RecordingState::recording && !handler->isStartingRecording(); }));
  }

  // Presses again and waits until the answer has been carried out.
  void stopAndWaitForAnswer(HotKeyCombo combo = HotKeyCombo::transcribe) {
    handler->handleHotKey(combo);
    ASSERT_TRUE(waitUntil([&] { return recorder->state() == RecordingState::idle; }));
  }

  // One whole request: press, record, press, answer.
  void request(HotKeyCombo combo = HotKeyCombo::transcribe) {
    startRecording(combo);
    stopAndWaitForAnswer(combo);
  }

  // The paste commands typed into the editor.
  qsizetype pastesTyped() const {
    return std::count(keyboard.chords.cbegin(), keyboard.chords.cend(), KeyChord{KeyChord::Key::v, false});
  }

  // The only history record.
  RecordingHistory onlyRecord() const {
    const QList<RecordingHistory>& records = HistoryStore::shared().records();
    EXPECT_EQ(records.size(), 1);
    return records.isEmpty() ? RecordingHistory{} : records.first();
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

  FakeService service;
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
  // Alerts shown; they close at once unless the test keeps them open.
  QStringList alerts;
  bool alertsCloseAtOnce = true;
  QTimer alertGate;
};
