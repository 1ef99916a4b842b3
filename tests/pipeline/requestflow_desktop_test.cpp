// Requests as a user makes them, on the test desktop with the real X11, AT-SPI
// and sound services: a rewrite of a word selected in another application
// (Alt+E, a tone spoken into the microphone, Alt+E again, and the service's
// answer replaces the word in that application's field), and a dictation
// with nothing selected, whose start reads no selection for 0.3 s.
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
#include "localization/appstrings.h"
#include "service/authstore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace std::chrono_literals;

namespace {

// Runs pactl against the test desktop's sound server; its output, or nothing
// when it failed.
std::optional<QString> pactl(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral("pactl"), arguments);
  if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    return std::nullopt;
  }
  return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The test desktop's microphone, which a test may unload: put back as it was,
// and the default again, whatever the test left behind.
class DesktopMicrophone {
 public:
  static constexpr auto kName = "veltrine_microphone";

  DesktopMicrophone() {
    for (const QString& line : pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("modules")})
                                   .value_or(QString())
                                   .split(u'\n')) {
      const QStringList fields = line.split(u'\t');
      if (fields.size() >= 3 && fields[2].contains(QStringLiteral("source_name=%1 ").arg(kName))) {
        module_ = fields[0];
        arguments_ = fields[2];
      }
    }
  }
  // In this order, so that Qt, which follows the server's default only when a
  // source goes, sees this microphone as the default again.
  ~DesktopMicrophone() {
    if (!isLoaded()) pactl({QStringLiteral("load-module"), QStringLiteral("module-pipe-source"), arguments_});
    pactl({QStringLiteral("set-default-source"), QString::fromLatin1(kName)});
    for (const QString& module : loaded_) pactl({QStringLiteral("unload-module"), module});
  }

  bool isKnown() const { return !module_.isEmpty(); }
  bool isLoaded() const {
    return pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sources")})
        .value_or(QString())
        .contains(QString::fromLatin1(kName));
  }
  bool unload() { return pactl({QStringLiteral("unload-module"), module_}).has_value(); }

  // Another pipe microphone in the same format, which the sound server then
  // takes as its default; the module goes with this object.
  bool loadSecond(const QString& name, const QString& pipe) {
    const auto module = pactl({QStringLiteral("load-module"), QStringLiteral("module-pipe-source"),
                               QStringLiteral("source_name=%1 file=%2 format=s16le rate=48000 channels=2").arg(name, pipe)});
    if (!module) return false;
    loaded_ << *module;
    return pactl({QStringLiteral("set-default-source"), name}).has_value();
  }

 private:
  QString module_;
  QString arguments_;
  QStringList loaded_;
};

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

  QObject pressWatcher;
  int presses = 0;
  std::function<void()> onPress;
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

TEST_F(RequestFlowOnTheDesktop, ADictationRecordsFromThePressAndAPressDuringItsStartChangesNothing) {
  service.enqueue("POST", "/veltrine/api/v1/audio/process",
                  ScriptedResponse::json(200, R"({"operation":"transcribe","action_type":"show_markdown",)"
                                              R"("transcript":"word","result":"word"})"));
  ASSERT_TRUE(window.command(QStringLiteral("select 0 0")));
  // The room is quiet; the user says a short word right at the press, then
  // nothing (sound that no recording hears is gone), and presses Alt+Q once
  // more at once: that press comes while the start still waits for a copy
  // that finds nothing.
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.playLive(TestMicrophone::silence(20s)));
  QProcess secondPress;
  onPress = [&] {
    if (presses != 1) return;
    microphone.playLive(TestMicrophone::tone(440, 200ms, 0.5) + TestMicrophone::silence(20s));
    secondPress.start(QStringLiteral("xdotool"), {"key", "alt+q"});
  };
  const auto forgetPresses = qScopeGuard([this] { onPress = nullptr; });
  AudioRecorder& recorder = AudioRecorder::shared();

  ASSERT_TRUE(TestKeyboard::run({"key", "alt+q"}));
  ASSERT_TRUE(waitUntil([&] { return presses == 2 && !AppHotKeyHandler::shared().isStartingRecording(); }));
  ASSERT_TRUE(waitUntil([&] { return secondPress.state() == QProcess::NotRunning; }));
  EXPECT_EQ(recorder.state(), RecordingState::recording);
  EXPECT_FALSE(AppHotKeyHandler::shared().selectionSnapshot());
  EXPECT_EQ(service.requestCount(), 0);

  ASSERT_TRUE(TestKeyboard::run({"key", "alt+q"}));
  ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::idle; }, 10s));
  microphone.stop();
  ASSERT_EQ(service.requestCount(), 1);
  EXPECT_TRUE(service.lastRequest().body.contains("name=\"operation\"\r\n\r\ntranscribe\r\n"));
  QTemporaryDir folder;
  QFile audio(folder.filePath(QStringLiteral("upload.wav")));
  ASSERT_TRUE(audio.open(QIODevice::WriteOnly));
  audio.write(uploadedAudio(service.lastRequest()));
  audio.close();
  const auto wav = WavFile::read(audio.fileName());
  ASSERT_TRUE(wav);
  // The word is at the start of the recording, not lost to the selection's
  // wait: the whole word gives about 0.15; a recording begun after that wait
  // holds nothing of it.
  EXPECT_GT(SignalAnalysis::rms(wav->samples, 0, 16000), 0.08);
}

TEST_F(RequestFlowOnTheDesktop, AMicrophoneThatGoesAwayIsReplacedByTheNextOrEndsTheRecordingWithWhatWasSaid) {
  struct Row {
    const char* name;
    bool secondMicrophone;
  };
  for (const Row row : {Row{"a second microphone", true}, Row{"no other microphone", false}}) {
    SCOPED_TRACE(row.name);
    DesktopMicrophone desktopMicrophone;
    ASSERT_TRUE(desktopMicrophone.isKnown());
    overlays.calls.clear();
    const int requests = service.requestCount();
    service.enqueue("POST", "/veltrine/api/v1/audio/process",
                    ScriptedResponse::json(200, R"({"operation":"rewrite","action_type":"tip",)"
                                                R"("transcript":"heard","result":"heard"})"));
    TestMicrophone first;
    ASSERT_TRUE(first.play(TestMicrophone::tone(440, 1000ms, 0.5), true));
    const QString secondPipe = TestEnvironment::root() + QStringLiteral("/second-microphone.pipe");
    TestMicrophone second(secondPipe);
    if (row.secondMicrophone) {
      // The sound server prefers it from now on; the program keeps the
      // microphone it had until that one goes.
      ASSERT_TRUE(desktopMicrophone.loadSecond(QStringLiteral("veltrine_second_microphone"), secondPipe));
    }
    AudioRecorder& recorder = AudioRecorder::shared();

    QElapsedTimer recording;
    double recorded = 0.0;
    const auto stopped = QObject::connect(&recorder, &AudioRecorder::stateChanged, [&](RecordingState state) {
      if (state == RecordingState::recording) recording.start();
      if (state == RecordingState::processing) recorded = recording.elapsed() / 1000.0;
    });
    ASSERT_TRUE(pressRewrite());
    ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::recording; }));
    QTest::qWait(1000);
    // A pipe that nobody reads fills up and would be read out at once: the
    // second microphone is played into from the moment it is needed.
    if (row.secondMicrophone) {
      ASSERT_TRUE(second.play(TestMicrophone::tone(880, 1000ms, 0.5), true));
    }
    ASSERT_TRUE(desktopMicrophone.unload());
    const double beforeUnload = recording.elapsed() / 1000.0;
    if (row.secondMicrophone) {
      QTest::qWait(1000);
      EXPECT_EQ(recorder.state(), RecordingState::recording);
      ASSERT_TRUE(pressRewrite());
    }
    // Without another microphone nobody presses: the recording ends by itself.
    ASSERT_TRUE(waitUntil([&] { return service.requestCount() == requests + 1; }, 10s));
    ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::idle; }, 10s));
    QObject::disconnect(stopped);
    first.stop();
    second.stop();

    const QString lostTip = QStringLiteral("tip ") + currentStrings().errorMicrophoneLost;
    EXPECT_EQ(overlays.calls.contains(lostTip), !row.secondMicrophone) << overlays.calls.join(u'|').toStdString();
    EXPECT_EQ(HistoryStore::shared().records().value(0).status, RecognitionStatus::success);
    QTemporaryDir folder;
    QFile audio(folder.filePath(QStringLiteral("upload.wav")));
    ASSERT_TRUE(audio.open(QIODevice::WriteOnly));
    audio.write(uploadedAudio(service.lastRequest()));
    audio.close();
    const auto wav = WavFile::read(audio.fileName());
    ASSERT_TRUE(wav);
    ASSERT_TRUE(wav->isValid16kMono());
    // Everything said until the microphone went, each moment once; with a
    // second microphone everything said until the stop.
    const double spoken = row.secondMicrophone ? recorded : beforeUnload;
    EXPECT_GE(wav->durationSeconds(), spoken - 0.3);
    EXPECT_LE(wav->durationSeconds(), spoken + 0.5);
    // The first microphone's tone at the start, the second's at the end.
    const size_t part = 4000;
    ASSERT_GT(wav->samples.size(), 2 * (part + 1600));
    EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, 1600, 1600 + part), 440.0, 3.0);
    if (row.secondMicrophone) {
      const size_t end = wav->samples.size() - 1600;
      EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, end - part, end), 880.0, 3.0);
    }
  }
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
