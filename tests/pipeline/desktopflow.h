#pragma once

// The request flow on the test desktop as the program wires it at start-up:
// the real X11, AT-SPI and sound services, a fake service behind the
// program's origin, a signed-in user and the default hotkeys (Alt+Q
// dictates, Alt+E rewrites). A test puts an application in front, presses
// the hotkeys through xdotool and reads what the application holds.

#include "awaittask.h"
#include "fakeservice.h"
#include "pipelinestate.h"
#include "printing.h"
#include "recordingoverlaypresenter.h"
#include "testenvironment.h"
#include "testkeyboard.h"

#include "pipeline/apphotkeyhandler.h"
#include "pipeline/audiorecorder.h"
#include "pipeline/historystore.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionmanager.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/linux/fcitx5inputmethod.h"
#include "platform/linux/pulsesoundserverwatcher.h"
#include "platform/linux/qtaudioengine.h"
#include "platform/linux/qtmicrophoneaccess.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11keyboardtap.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11primaryhighlightwatch.h"
#include "platform/x11/x11synthetickeyboard.h"
#include "service/authstore.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

// Waits until the recorder has measured `buffers` more buffers of sound
// (about 85 ms each): the user has spoken that long.
inline bool heardBuffers(int buffers) {
  QSignalSpy levels(&AudioRecorder::shared(), &AudioRecorder::audioLevelChanged);
  return waitUntil([&] { return levels.count() >= buffers; }, std::chrono::seconds(10));
}

class DesktopFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    resetPipelineState();
    service.clearRequests();
    AccessibilityTrust::install(&trust);
    MicrophoneAccess::install(&microphoneAccess);
    SoundServerWatcher::install(&soundServer);
    AudioEngine::installFactory([] { return std::make_unique<QtAudioEngine>(); });
    KeyboardTap::install(&keyboardTap);
    FrontApplication::install(&front);
    SyntheticKeyboard::install(&keyboard);
    Pasteboard::install(&pasteboard);
    Pasteboard::installPrimarySelection(&primarySelection);
    PrimaryHighlightWatch::install(&highlightWatch);
    InputMethod::install(&inputMethod);
    Accessibility::install(&accessibility);
    accessibility.start();

    AuthStore& account = AuthStore::shared();
    account.setEmail(QStringLiteral("writer@example.com"));
    account.setToken(QStringLiteral("token-1"));
    HistoryStore::shared().load();
    // As at start-up: presses reach the flow, the listener follows the trust.
    // The test sees each press first.
    QObject::connect(&PermissionManager::shared(), &PermissionManager::hotKeyPressed, &pressWatcher,
                     [this](HotKeyCombo) {
                       ++presses;
                       if (onPress) onPress();
                     });
    QObject::connect(&PermissionManager::shared(), &PermissionManager::hotKeyPressed, &AppHotKeyHandler::shared(),
                     &AppHotKeyHandler::handleHotKey);
    PermissionManager::shared().refresh();
    ASSERT_TRUE(HotKeyManager::shared().isListening());
    ASSERT_TRUE(waitUntil([] { return AudioRecorder::shared().isEngineReady(); }));
  }

  void TearDown() override {
    QObject::disconnect(&PermissionManager::shared(), &PermissionManager::hotKeyPressed, &AppHotKeyHandler::shared(),
                        &AppHotKeyHandler::handleHotKey);
    HotKeyManager::shared().stop();
    Accessibility::install(nullptr);
    Pasteboard::install(nullptr);
    Pasteboard::installPrimarySelection(nullptr);
    PrimaryHighlightWatch::install(nullptr);
    InputMethod::install(nullptr);
    SyntheticKeyboard::install(nullptr);
    FrontApplication::install(nullptr);
    KeyboardTap::install(nullptr);
    AudioEngine::installFactory({});
    SoundServerWatcher::install(nullptr);
    MicrophoneAccess::install(nullptr);
    AccessibilityTrust::install(nullptr);
    resetPipelineState();
  }

  static bool pressRewrite() { return TestKeyboard::run({"keydown", "alt", "key", "e", "keyup", "alt"}); }
  static bool pressDictate() { return TestKeyboard::run({"key", "alt+q"}); }
  static bool pressAgent() { return TestKeyboard::run({"key", "alt+w"}); }
  // The service's answer to the next upload: `result`, to be dealt with as `action`.
  void answerNext(const QString& operation, const QString& action, const QString& result) {
    const QString body = QStringLiteral(R"({"operation":"%1","action_type":"%2","transcript":"said","result":"%3"})");
    service.enqueue("POST", "/veltrine/api/v1/audio/process",
                    ScriptedResponse::json(200, body.arg(operation, action, result).toUtf8()));
  }
  bool isInFront(qint64 pid) {
    return waitUntilSteady([&] { return front.frontmost() && front.frontmost()->pid == pid; },
                           std::chrono::milliseconds(150), std::chrono::seconds(20));
  }
  // One request as the user makes it: `press`, speak (the test's microphone
  // must be playing) until `buffers` buffers were heard, `press` again; back
  // once the upload went out and the answer was dealt with. `whileSpeaking`
  // runs once the selection has been read; `stop`, when given, is the second
  // press.
  void speakBetweenPresses(bool (*press)(), int buffers = 6, const std::function<void()>& whileSpeaking = {},
                           bool (*stop)() = nullptr) {
    const int uploads = service.requestCount();
    AudioRecorder& recorder = AudioRecorder::shared();
    ASSERT_TRUE(press());
    ASSERT_TRUE(waitUntil([&] {
      return recorder.state() == RecordingState::recording && !AppHotKeyHandler::shared().isStartingRecording();
    }));
    if (whileSpeaking) whileSpeaking();
    ASSERT_TRUE(heardBuffers(buffers));
    ASSERT_TRUE(stop ? stop() : press());
    ASSERT_TRUE(waitUntil(
        [&] { return recorder.state() == RecordingState::idle && service.requestCount() == uploads + 1; },
        std::chrono::seconds(10)));
  }

  QObject pressWatcher;
  int presses = 0;
  std::function<void()> onPress;
  FakeService& service = processService();
  RecordingOverlayPresenter overlays;
  X11AccessibilityTrust trust;
  QtMicrophoneAccess microphoneAccess;
  PulseSoundServerWatcher soundServer;
  X11KeyboardTap keyboardTap;
  X11FrontApplication front;
  X11SyntheticKeyboard keyboard;
  X11Pasteboard pasteboard;
  X11Pasteboard primarySelection{X11Pasteboard::Selection::primary};
  X11PrimaryHighlightWatch highlightWatch;
  Fcitx5InputMethod inputMethod;
  AtspiAccessibility accessibility;
};
