// Requests as a user makes them, on the test desktop with the real X11, AT-SPI
// and sound services: a spoken rewrite of a word selected in another
// application, a dictation with a press during its start, a microphone lost;
// a dictation and a rewrite in a real xterm.
#include "desktopflow.h"
#include "fakesynthetickeyboard.h"
#include "desktopeditor.h"
#include "soundserver.h"
#include "testkeygrabber.h"
#include "testkeymap.h"
#include "testmicrophone.h"
#include "testwindow.h"
#include "tracelines.h"
#include "wavfile.h"
#include "terminalwindow.h"

#include "pipeline/flowalert.h"
#include "localization/appstrings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

using namespace std::chrono_literals;

namespace {

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
  ~DesktopMicrophone() {
    if (!isLoaded()) pactl({QStringLiteral("load-module"), QStringLiteral("module-pipe-source"), arguments_});
    pactl({QStringLiteral("set-default-source"), QString::fromLatin1(kName)});
  }

  bool isKnown() const { return !module_.isEmpty(); }
  bool isLoaded() const {
    return pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sources")})
        .value_or(QString())
        .contains(QString::fromLatin1(kName));
  }
  bool unload() { return pactl({QStringLiteral("unload-module"), module_}).has_value(); }

 private:
  QString module_;
  QString arguments_;
};

// The recording sent in a multipart upload, as a WAV file.
std::optional<WavFile> uploadedWav(const RecordedRequest& request) {
  const QByteArray body = request.body;
  const qsizetype part = body.indexOf("name=\"file\"");
  if (part < 0) return std::nullopt;
  const qsizetype start = body.indexOf("\r\n\r\n", part) + 4;
  QTemporaryDir folder;
  QFile audio(folder.filePath(QStringLiteral("upload.wav")));
  if (!audio.open(QIODevice::WriteOnly)) return std::nullopt;
  audio.write(body.mid(start, body.lastIndexOf("\r\n--") - start));
  audio.close();
  return WavFile::read(audio.fileName());
}

// The flow with a Qt window in front holding "hello brave new world", "brave" selected.
class RequestFlowOnTheDesktop : public DesktopFlow {
 protected:
  void SetUp() override {
    DesktopFlow::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(window.start());
    ASSERT_TRUE(window.command(QStringLiteral("text hello brave new world")));
    ASSERT_TRUE(window.command(QStringLiteral("select 6 11")));
    ASSERT_TRUE(waitUntil([&] {
      const auto app = front.frontmost();
      return app && app->pid == window.processId();
    }));
  }

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
  ASSERT_TRUE(heardBuffers(14));
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
  const auto wav = uploadedWav(upload);
  ASSERT_TRUE(wav);
  EXPECT_TRUE(wav->isValid16kMono());
  EXPECT_GT(wav->durationSeconds(), 1.0);
  EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, 1600, wav->samples.size() - 1600), 440.0, 3.0);

  const RecordingHistory record = HistoryStore::shared().records().value(0);
  EXPECT_EQ(record.status, RecognitionStatus::success);
  EXPECT_EQ(record.selectedText, QStringLiteral("brave"));
  EXPECT_EQ(record.result, QStringLiteral("bold"));
}

// GNOME Text Editor is GTK 4, whose accessibility drops a selection it is
// asked to set where one exists, and sets one where none exists without ever
// answering. The caret moves while the user speaks: the word is put back once,
// nothing waits for the editor's answer, and the answer replaces the word once.
// The time from the stop press to the upload is printed (14-60 ms on the test
// desktop, where waiting for the editor took 1.0-1.2 s).
TEST_F(RequestFlowOnTheDesktop, ARewriteInAGtk4EditorPutsTheWordBackOnceAndReplacesItOnce) {
  DesktopEditor editor(DesktopEditor::Program::gnomeTextEditor);
  ASSERT_TRUE(editor.open(QStringLiteral("hello brave new world")));
  ASSERT_TRUE(isInFront(editor.processId()));
  // Keys typed before its text view has the focus would go nowhere.
  ASSERT_TRUE(waitUntil([&] {
    return accessibility.application(qint32(editor.processId()))->copyAttributeValue(AXAttribute::focusedUIElement).error ==
           AXError::success;
  }));
  ASSERT_TRUE(TestKeyboard::selectWithKeys(6, 5));
  ASSERT_TRUE(waitUntil([] {
    return SelectionSnapshot::captureApplication().value_or(SelectionSnapshot{}).text == QStringLiteral("brave");
  }));
  answerNext("rewrite", "paste", "bold");
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 1000ms, 0.5), true));
  AudioRecorder& recorder = AudioRecorder::shared();
  ASSERT_TRUE(pressRewrite());
  ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::recording; }));
  ASSERT_TRUE(TestKeyboard::run({"key", "Left"}));  // the word is no longer selected
  ASSERT_TRUE(heardBuffers(14));
  ASSERT_TRUE(pressRewrite());
  QElapsedTimer sinceStop;  // from the moment the key went out: xdotool itself takes a while to start
  sinceStop.start();
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() == 1; }, 10s));
  std::cout << "upload arrived " << sinceStop.elapsed() << " ms after the stop press\n";
  ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::idle; }, 10s));
  microphone.stop();

  EXPECT_EQ(editor.saveAndRead(), QStringLiteral("hello bold new world\n"));
  const QStringList trace = traceLines();
  EXPECT_EQ(trace.filter(QRegularExpression(QStringLiteral("^Selection restore begin"))).size(), 1)
      << trace.join(u'\n').toStdString();
  EXPECT_TRUE(trace.contains(QStringLiteral("Selection restore result: success")));
}

// A sandboxed (Flatpak) GTK editor: the word is read through accessibility at
// the press, with no copy command typed into the editor, put back after the
// caret moved while the user spoke, and replaced once.
TEST_F(RequestFlowOnTheDesktop, ARewriteInASandboxedEditorReadsAndPutsBackTheWordThroughAccessibility) {
  TestWindow sandboxed;
  sandboxed.setSandboxed(true);
  ASSERT_TRUE(sandboxed.start(TestWindow::Kind::gtkEditor) && sandboxed.command(QStringLiteral("text one two three")) &&
              sandboxed.command(QStringLiteral("select 4 7")) && isInFront(sandboxed.applicationProcessId()));
  answerNext("rewrite", "paste", "2");
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 1000ms, 0.5), true));
  AudioRecorder& recorder = AudioRecorder::shared();
  // Held as a user holds it: under the grab GTK calls its window inactive.
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "keydown", "e"}));
  ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::recording; }));
  ASSERT_TRUE(TestKeyboard::run({"keyup", "e", "keyup", "alt", "key", "Left"}));
  ASSERT_TRUE(heardBuffers(8));
  ASSERT_TRUE(pressRewrite());

  const bool landed = sandboxed.waitForLine(QStringLiteral("text one 2 three"), 10s);
  microphone.stop();
  const QStringList lines = sandboxed.lines();
  EXPECT_TRUE(landed) << lines.join(u'\n').toStdString();
  EXPECT_TRUE(service.lastRequest().body.contains("name=\"selected_text\"\r\n\r\ntwo\r\n"));
  EXPECT_TRUE(lines.filter(QRegularExpression(QStringLiteral("^key press 99 "))).isEmpty());  // no Ctrl+C
  EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^text .*2"))).size(), 1) << lines.join(u'\n').toStdString();
  EXPECT_TRUE(traceLines().contains(QStringLiteral("Selection restore result: success")));
}

TEST_F(RequestFlowOnTheDesktop, ADictationRecordsFromThePressAndAPressDuringItsStartChangesNothing) {
  service.enqueue("POST", "/veltrine/api/v1/audio/process",
                  ScriptedResponse::json(200, R"({"operation":"transcribe","action_type":"show_markdown",)"
                                              R"("transcript":"word","result":"word"})"));
  // An editor without accessibility, nothing selected: the copy command
  // holds the start until it gives up.
  TestWindow inaccessible;
  inaccessible.setEnvironment(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
  ASSERT_TRUE(inaccessible.start(TestWindow::Kind::gtkEditor) && isInFront(inaccessible.processId()));
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
  const auto wav = uploadedWav(service.lastRequest());
  ASSERT_TRUE(wav);
  // The word is at the start of the recording, not lost to the selection's
  // wait: the whole word gives about 0.15; a recording begun after that wait
  // holds nothing of it.
  EXPECT_GT(SignalAnalysis::rms(wav->samples, 0, 16000), 0.08);
}

TEST_F(RequestFlowOnTheDesktop, AMicrophoneThatGoesAwayEndsTheRecordingWithWhatWasSaid) {
  DesktopMicrophone desktopMicrophone;
  ASSERT_TRUE(desktopMicrophone.isKnown());
  service.enqueue("POST", "/veltrine/api/v1/audio/process",
                  ScriptedResponse::json(200, R"({"operation":"rewrite","action_type":"tip","transcript":"heard","result":"heard"})"));
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 1000ms, 0.5), true));
  AudioRecorder& recorder = AudioRecorder::shared();
  QElapsedTimer recording;
  ASSERT_TRUE(pressRewrite());
  ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::recording; }));
  recording.start();
  ASSERT_TRUE(heardBuffers(12));
  ASSERT_TRUE(desktopMicrophone.unload());
  const double spoken = recording.elapsed() / 1000.0;
  // Nobody presses: the recording ends by itself and what was said goes up.
  ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::idle && service.requestCount() == 1; }, 10s));
  microphone.stop();
  EXPECT_TRUE(overlays.calls.contains(QStringLiteral("tip ") + currentStrings().errorMicrophoneLost))
      << overlays.calls.join(u'|').toStdString();
  EXPECT_EQ(HistoryStore::shared().records().value(0).status, RecognitionStatus::success);
  const auto wav = uploadedWav(service.lastRequest());
  ASSERT_TRUE(wav);
  ASSERT_TRUE(wav->isValid16kMono());
  // Everything said until the microphone went, each moment once.
  EXPECT_GE(wav->durationSeconds(), spoken - 0.3);
  EXPECT_LE(wav->durationSeconds(), spoken + 0.5);
  EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, 1600, 5600), 440.0, 3.0);
}

// The user moves Alt to another modifier while the program runs (xmodmap):
// Alt+Q still starts and stops a dictation and Q never reaches the
// application in front, and so once Alt is back where it was. Under Mod3
// another program holds Alt+W: that hotkey is reported refused.
TEST_F(RequestFlowOnTheDesktop, AltQDictatesWhereverTheKeymapPutsAlt) {
  answerNext("transcribe", "show_markdown", "word");
  answerNext("transcribe", "show_markdown", "word");
  TestKeyGrabber other;
  ASSERT_TRUE(other.grab({"mod3", "w"}));
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.playLive(TestMicrophone::silence(60s)));
  AudioRecorder& recorder = AudioRecorder::shared();
  TestKeymap keymap;
  for (const QString& modifier : {QStringLiteral("mod3"), QStringLiteral("mod1")}) {
    SCOPED_TRACE(modifier.toStdString());
    ASSERT_TRUE(keymap.moveAltTo(modifier));
    const QList<HotKeyCombo> refused{HotKeyCombo::agent};
    EXPECT_EQ(HotKeyManager::shared().refusedCombos(), modifier == QStringLiteral("mod3") ? refused : QList<HotKeyCombo>{});
    const int uploads = service.requestCount();
    ASSERT_TRUE(pressDictate());
    ASSERT_TRUE(waitUntil([&] {
      return recorder.state() == RecordingState::recording && !AppHotKeyHandler::shared().isStartingRecording();
    }));
    ASSERT_TRUE(pressDictate());
    ASSERT_TRUE(
        waitUntil([&] { return recorder.state() == RecordingState::idle && service.requestCount() == uploads + 1; }, 10s));
  }
  microphone.stop();
  const QRegularExpression keyQ(QStringLiteral("^key (press|release) \\S+ 24$"));
  EXPECT_FALSE(window.lines().indexOf(keyQ) >= 0) << window.lines().join(u'\n').toStdString();
}

// A real xterm in front, bash at its prompt under the line "brave new world":
// a dictation is typed at the prompt once and the user's earlier highlight
// comes back; then the word "new" highlighted in it is read at the rewrite
// press with no key sent, and the answer is shown in the panel, not typed.
// A click clears the highlight (xterm still holds the word on PRIMARY): the
// next dictation is typed at the prompt again.
TEST_F(RequestFlowOnTheDesktop, InXtermADictationIsTypedOnceAndAHighlightedWordIsReadWithoutAKey) {
  FakeSyntheticKeyboard noted;  // every chord the program types, on its way to the keyboard
  noted.onChord = [this](const KeyChord& chord) { keyboard.typeChord(chord); };
  SyntheticKeyboard::install(&noted);
  const auto uninstall = qScopeGuard([this] { SyntheticKeyboard::install(&keyboard); });
  TerminalWindow xterm(TerminalWindow::Program::xterm);
  ASSERT_TRUE(xterm.start(QStringLiteral("brave new world")));
  ASSERT_TRUE(isInFront(xterm.processId()));
  answerNext("transcribe", "paste", "ls -la");
  answerNext("rewrite", "paste", "NEW");
  answerNext("transcribe", "paste", " | wc");
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 1000ms, 0.5), true));

  primarySelection.setString(QStringLiteral("highlighted elsewhere"));
  ASSERT_TRUE(TestKeyboard::run({"type", "--delay", "10", "echo "}));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
  std::optional<QString> line;
  EXPECT_TRUE(waitUntil([&] { return (line = xterm.commandLine()) && line != QStringLiteral("echo "); }));
  EXPECT_EQ(line.value_or(QStringLiteral("(no answer)")), QStringLiteral("echo ls -la"));
  EXPECT_EQ(noted.chords, QList<KeyChord>{KeyChord::shiftInsert()});
  EXPECT_TRUE(waitUntil([&] { return primarySelection.string() == QStringLiteral("highlighted elsewhere"); }));

  ASSERT_TRUE(xterm.click(0, 7, 2));
  ASSERT_TRUE(waitUntil([&] { return primarySelection.isOwnedBy(front.frontmost().value_or(RunningApplication{})); }));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(service.lastRequest().body.contains("name=\"selected_text\"\r\n\r\nnew\r\n"));
  EXPECT_TRUE(waitUntil([&] { return overlays.calls.contains(QStringLiteral("result plain NEW")); }))
      << overlays.calls.join(u'|').toStdString();
  EXPECT_EQ(noted.chords.size(), 1);
  EXPECT_EQ(xterm.commandLine().value_or(QStringLiteral("(no answer)")), QStringLiteral("echo ls -la"));

  ASSERT_TRUE(xterm.click(0, 20, 1));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  microphone.stop();
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
  EXPECT_TRUE(waitUntil([&] { return xterm.commandLine() == QStringLiteral("echo ls -la | wc"); }));
}

// A tray program has no window in front: the flow's alert (a warning of the
// service, a recording too long) must come up over the application the user
// works in and take the keyboard, with its message shown, and end when closed.
TEST(FlowAlertOnTheDesktop, ComesUpActiveOverTheApplicationInFrontAndEndsWhenClosed) {
  REQUIRE_TEST_DESKTOP();
  resetPipelineState();
  TestWindow window;
  ASSERT_TRUE(window.start());
  window.clearLines();
  auto shown = FlowAlert::show(QStringLiteral("Almost out of credits"));
  QMessageBox* box = nullptr;
  ASSERT_TRUE(waitUntil([&] { return (box = qobject_cast<QMessageBox*>(QApplication::activeWindow())); }));
  EXPECT_TRUE(window.waitForLine(QStringLiteral("focus out")));
  EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
  const QList<QLabel*> labels = box->findChildren<QLabel*>();
  EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel* label) {
    return label->isVisible() && label->text() == QStringLiteral("Almost out of credits");
  }));
  ASSERT_FALSE(box->buttons().isEmpty());
  box->buttons().first()->click();
  awaitTask(std::move(shown));
}

}  // namespace
