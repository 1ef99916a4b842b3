// A rewrite as a user makes it, on the test desktop with the real X11, AT-SPI
// and sound services: a word selected in another application, Alt+E typed,
// a tone spoken into the microphone, Alt+E again, and the service's answer
// replaces the word in that application's field.
#include "fakeservice.h"
#include "recordingoverlaypresenter.h"
#include "awaittask.h"
#include "testenvironment.h"
#include "testkeyboard.h"
#include "testmicrophone.h"
#include "testwindow.h"
#include "tracelines.h"
#include "wavfile.h"

#include "pipeline/apphotkeyhandler.h"
#include "pipeline/audiorecorder.h"
#include "pipeline/historystore.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionmanager.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/linux/qtaudioengine.h"
#include "platform/linux/qtmicrophoneaccess.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11keyboardtap.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11synthetickeyboard.h"
#include "service/authstore.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace std::chrono_literals;

namespace {

// The audio file sent in a multipart upload.
QByteArray uploadedAudio(const RecordedRequest& request) {
  const QByteArray body = request.body;
  const qsizetype part = body.indexOf("name=\"file\"");
  if (part < 0) return {};
  const qsizetype start = body.indexOf("\r\n\r\n", part) + 4;
  const qsizetype end = body.lastIndexOf("\r\n--");
  return body.mid(start, end - start);
}

// The value of one form field of a multipart upload.
QByteArray uploadedField(const RecordedRequest& request, const QByteArray& name) {
  const QByteArray marker = "name=\"" + name + "\"\r\n\r\n";
  const qsizetype start = request.body.indexOf(marker);
  if (start < 0) return {};
  const qsizetype valueStart = start + marker.size();
  return request.body.mid(valueStart, request.body.indexOf("\r\n--", valueStart) - valueStart);
}

class RequestFlowOnTheDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8());
    AccessibilityTrust::install(&trust);
    MicrophoneAccess::install(&microphoneAccess);
    AudioEngine::installFactory([] { return std::make_unique<QtAudioEngine>(); });
    KeyboardTap::install(&keyboardTap);
    FrontApplication::install(&front);
    SyntheticKeyboard::install(&keyboard);
    Pasteboard::install(&pasteboard);
    Accessibility::install(&accessibility);
    accessibility.start();

    AuthStore& account = AuthStore::shared();
    account.setEmail(QStringLiteral("writer@example.com"));
    account.setToken(QStringLiteral("token-1"));
    HistoryStore::shared().load();
    // As at start-up: presses reach the flow, the listener follows the trust.
    QObject::connect(&PermissionManager::shared(), &PermissionManager::hotKeyPressed, &AppHotKeyHandler::shared(),
                     &AppHotKeyHandler::handleHotKey);
    PermissionManager::shared().refresh();
    ASSERT_TRUE(HotKeyManager::shared().isListening());
    ASSERT_TRUE(waitUntil([] { return AudioRecorder::shared().isEngineReady(); }));

    ASSERT_TRUE(window.start());
    ASSERT_TRUE(window.command(QStringLiteral("text hello brave new world")));
    ASSERT_TRUE(window.command(QStringLiteral("select 6 11")));
    ASSERT_TRUE(waitUntil([&] {
      const auto app = front.frontmost();
      return app && app->pid == window.processId();
    }));
  }

  void TearDown() override {
    HotKeyManager::shared().stop();
    Accessibility::install(nullptr);
    Pasteboard::install(nullptr);
    SyntheticKeyboard::install(nullptr);
    FrontApplication::install(nullptr);
    KeyboardTap::install(nullptr);
    AudioEngine::installFactory({});
    MicrophoneAccess::install(nullptr);
    AccessibilityTrust::install(nullptr);
  }

  static bool pressRewrite() { return TestKeyboard::run({"keydown", "alt", "key", "e", "keyup", "alt"}); }

  FakeService service;
  RecordingOverlayPresenter overlays;
  X11AccessibilityTrust trust;
  QtMicrophoneAccess microphoneAccess;
  X11KeyboardTap keyboardTap;
  X11FrontApplication front;
  X11SyntheticKeyboard keyboard;
  X11Pasteboard pasteboard;
  AtspiAccessibility accessibility;
  TestWindow window;
};

TEST_F(RequestFlowOnTheDesktop, ASpokenRewriteReplacesTheSelectedWordInTheApplicationInFront) {
  service.enqueue("POST", "/veltrine/api/v1/audio/process",
                  ScriptedResponse::json(200, R"({"operation":"rewrite","action_type":"paste",)"
                                              R"("transcript":"make it bold","result":"bold"})"));
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 1000ms, 0.5), true));
  AudioRecorder& recorder = AudioRecorder::shared();

  ASSERT_TRUE(pressRewrite());
  ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::recording; }));
  EXPECT_TRUE(overlays.recordingShown);
  QTest::qWait(1200);
  ASSERT_TRUE(pressRewrite());

  const bool landed = window.waitForLine(QStringLiteral("text hello bold new world"), 10s);
  microphone.stop();
  EXPECT_TRUE(landed) << window.lines().join(QLatin1Char('\n')).toStdString();
  ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::idle; }));
  EXPECT_FALSE(overlays.recordingShown);

  ASSERT_EQ(service.requestCount(), 1);
  const RecordedRequest upload = service.lastRequest();
  EXPECT_TRUE(upload.body.contains("name=\"operation\"\r\n\r\nrewrite\r\n"));
  EXPECT_TRUE(upload.body.contains("name=\"selected_text\"\r\n\r\nbrave\r\n"));
  // What was said went up as the tone, about as long as the user spoke.
  QTemporaryDir folder;
  QFile audio(folder.filePath(QStringLiteral("upload.wav")));
  ASSERT_TRUE(audio.open(QIODevice::WriteOnly));
  audio.write(uploadedAudio(upload));
  audio.close();
  const auto wav = WavFile::read(audio.fileName());
  ASSERT_TRUE(wav);
  EXPECT_TRUE(wav->isValid16kMono());
  EXPECT_GT(wav->durationSeconds(), 1.0);
  EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, 1600, wav->samples.size() - 1600), 440.0, 3.0);

  const RecordingHistory record = HistoryStore::shared().records().value(0);
  EXPECT_EQ(record.status, RecognitionStatus::success);
  EXPECT_EQ(record.selectedText, QStringLiteral("brave"));
  EXPECT_EQ(record.result, QStringLiteral("bold"));
}

TEST_F(RequestFlowOnTheDesktop, ARewriteOfATerminalsSelectionIsShownAndNothingIsTyped) {
  // A terminal's text is read-only, which only accessibility can tell: an
  // answer typed there would land on the shell's command line.
  TestWindow terminal;
  ASSERT_TRUE(terminal.start(TestWindow::Kind::gtkTerminal));
  ASSERT_TRUE(terminal.command(QStringLiteral("text ls -l")));
  ASSERT_TRUE(terminal.command(QStringLiteral("select 0 5")));
  ASSERT_TRUE(waitUntil([&] {
    const auto app = front.frontmost();
    return app && app->pid == terminal.processId();
  }));
  service.enqueue("POST", "/veltrine/api/v1/audio/process",
                  ScriptedResponse::json(200, R"({"operation":"rewrite","action_type":"paste",)"
                                              R"("transcript":"list them all","result":"ls -la"})"));
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 1000ms, 0.5), true));
  AudioRecorder& recorder = AudioRecorder::shared();

  // The hotkey stays down until the selection has been read, as when a user
  // presses it: our grab meanwhile holds the keyboard, and GTK lets go of the
  // focus.
  const auto snapshotTaken = [] {
    return !traceLines().filter(QRegularExpression(QStringLiteral("^snapshot (OK|nil)"))).isEmpty();
  };
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "keydown", "e"}));
  const bool taken = waitUntil(snapshotTaken);
  ASSERT_TRUE(TestKeyboard::run({"keyup", "e", "keyup", "alt"}));
  ASSERT_TRUE(taken);
  ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::recording; }));
  ASSERT_TRUE(pressRewrite());
  ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::idle; }, 10s));
  microphone.stop();

  EXPECT_TRUE(overlays.panels().contains(QStringLiteral("result plain ls -la")));
  EXPECT_TRUE(uploadedField(service.lastRequest(), "selected_text").startsWith("ls -l"));
  ASSERT_TRUE(terminal.command(QStringLiteral("state")));  // it has handled every key sent before
  EXPECT_TRUE(terminal.lines().filter(QRegularExpression(QStringLiteral("^typed "))).isEmpty())
      << terminal.lines().join(u'|').toStdString();
}

}  // namespace
