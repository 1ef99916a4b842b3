// Requests in the two big editors of the Linux desktop, each started once as
// a user starts it: LibreOffice Writer (GTK 3) and Kate (Qt 5). Neither
// announces the text the user types in as the last focused object: Writer
// names its window's root pane at every press of a grabbed key, Kate a cell
// of a side list. A dictation into the empty document is typed once, without
// a copy command (Kate would copy its current line); a rewrite of a selected
// word reads the word through accessibility, not through a copy, and the
// answer replaces it in the document, with no panel; and the word is read so
// while the user still holds the hotkey.
#include "officeeditor.h"
#include "desktopflow.h"
#include "printing.h"
#include "testmicrophone.h"
#include "tracelines.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>

#include <unistd.h>

using namespace std::chrono_literals;

namespace {

struct Editor {
  OfficeEditor::Kind kind;
  const char* name;
};
void PrintTo(const Editor& editor, std::ostream* out) { *out << editor.name; }

class RequestsInOfficeEditors : public DesktopFlow, public ::testing::WithParamInterface<Editor> {
 protected:
  // Presses the hotkey, speaks, presses it again, and waits until the request
  // went up and its answer was dealt with.
  void speakBetweenPresses(bool (*press)()) {
    const int uploads = service.requestCount();
    AudioRecorder& recorder = AudioRecorder::shared();
    ASSERT_TRUE(press());
    ASSERT_TRUE(waitUntil([&] { return recorder.state() == RecordingState::recording; }));
    ASSERT_TRUE(heardBuffers(6));
    ASSERT_TRUE(press());
    ASSERT_TRUE(waitUntil(
        [&] { return recorder.state() == RecordingState::idle && service.requestCount() == uploads + 1; }, 20s));
  }
};

TEST_P(RequestsInOfficeEditors, ADictationIsTypedOnceAndARewriteReadsTheWordThroughAccessibilityAndReplacesIt) {
  OfficeEditor editor(GetParam().kind);
  ASSERT_TRUE(editor.open(QString()));
  answerNext("transcribe", "paste", "alpha beta gamma");
  answerNext("rewrite", "paste", "bold");
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 1000ms, 0.5), true));
  const QRegularExpression copied(QStringLiteral("^CmdC-"));

  // The caret placed as by a user who works there: until then Writer marks
  // no paragraph of a document it opened as focused, only the panel around it.
  ASSERT_TRUE(TestKeyboard::run({"key", "ctrl+End"}));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_TRUE(waitUntil([&] { return editor.documentText() == QStringLiteral("alpha beta gamma"); }, 10s))
      << editor.documentText().value_or(QStringLiteral("(unreadable)")).toStdString();
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
  QStringList trace = traceLines();
  EXPECT_TRUE(trace.filter(copied).isEmpty()) << trace.join(u'\n').toStdString();

  clearTrace();
  ASSERT_TRUE(TestKeyboard::selectWithKeys(6, 4));
  ASSERT_TRUE(waitUntil([&] { return editor.shown().value_or(OfficeEditor::Shown{}).selection == u"6-10"; }, 10s));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  microphone.stop();
  EXPECT_TRUE(waitUntil([&] { return editor.documentText() == QStringLiteral("alpha bold gamma"); }, 10s))
      << editor.documentText().value_or(QStringLiteral("(unreadable)")).toStdString();
  EXPECT_TRUE(service.lastRequest().body.contains("name=\"selected_text\"\r\n\r\nbeta\r\n"));
  EXPECT_TRUE(overlays.panels().isEmpty()) << overlays.panels().join(u'|').toStdString();
  trace = traceLines();
  EXPECT_FALSE(trace.filter(QRegularExpression(QStringLiteral("^snapshot\\[AX-.*isEditable=true$"))).isEmpty())
      << trace.join(u'\n').toStdString();
  EXPECT_TRUE(trace.filter(copied).isEmpty()) << trace.join(u'\n').toStdString();

  // The word read while the user still holds the hotkey, after a while:
  // Kate has taken the focus from its text view by then, Writer has not.
  ASSERT_TRUE(TestKeyboard::selectWithKeys(6, 4));
  ASSERT_TRUE(waitUntil([&] { return editor.shown().value_or(OfficeEditor::Shown{}).selection == u"6-10"; }, 10s));
  clearTrace();
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "keydown", "e"}));
  const auto letGo = qScopeGuard([] { TestKeyboard::run({"keyup", "e", "keyup", "alt"}); });
  ASSERT_TRUE(waitUntil([] { return AudioRecorder::shared().state() == RecordingState::recording; }));
  waitUntil([] { return false; }, 300ms);
  const std::optional<SelectionSnapshot> held = SelectionSnapshot::capture();
  AppHotKeyHandler::shared().cancelRecording();
  ASSERT_TRUE(held);
  EXPECT_EQ(held->text, QStringLiteral("bold"));
  EXPECT_EQ(held->isEditable, true);
  trace = traceLines();
  EXPECT_TRUE(trace.filter(copied).isEmpty()) << trace.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Editors, RequestsInOfficeEditors,
                         ::testing::Values(Editor{OfficeEditor::Kind::libreOfficeWriter, "LibreOfficeWriter"},
                                           Editor{OfficeEditor::Kind::kate, "Kate"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The processor time `pid` has used so far, and its resident memory, as the
// kernel counts them.
std::chrono::milliseconds cpuTimeOf(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return {};
  // After the command's name, which may hold spaces: state is field 3, user
  // and system time fields 14 and 15.
  const QByteArray line = stat.readAll();
  const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
  const qint64 ticks = fields.value(11).toLongLong() + fields.value(12).toLongLong();
  return std::chrono::milliseconds(ticks * 1000 / ::sysconf(_SC_CLK_TCK));
}
qint64 residentMegabytesOf(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong() / 1024;
  }
  return 0;
}
// Whether `pid` uses less than a tenth of a processor over half a second,
// within `time`.
bool becomesIdle(qint64 pid, std::chrono::milliseconds time) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() + 500 <= time.count()) {
    const std::chrono::milliseconds before = cpuTimeOf(pid);
    waitUntil([] { return false; }, 500ms);
    if (cpuTimeOf(pid) - before < 50ms) return true;
  }
  return false;
}

// LibreOffice Calc, a cell in edit mode. The sheet beside it manages its
// cells, millions of them made on demand: a search that went through them
// would keep Calc busy for minutes and grow it by hundreds of megabytes. A
// dictation into the cell is typed once, a rewrite of a word selected there
// replaces it, both read through accessibility with no copy command; after
// each request Calc is idle again within 2 s, and its memory grew by less
// than 50 MB over both.
class RequestsInCalc : public DesktopFlow {};

TEST_F(RequestsInCalc, ADictationIsTypedOnceIntoACellAndARewriteReplacesTheSelectedWordWhileCalcStaysIdle) {
  OfficeEditor calc(OfficeEditor::Kind::libreOfficeCalc);
  ASSERT_TRUE(calc.open(QString()));
  const qint64 pid = calc.applicationPid();
  ASSERT_TRUE(becomesIdle(pid, 10s));
  const qint64 memoryBefore = residentMegabytesOf(pid);
  answerNext("transcribe", "paste", "alpha beta gamma");
  answerNext("rewrite", "paste", "bold");
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 1000ms, 0.5), true));
  const QRegularExpression copied(QStringLiteral("^CmdC-"));

  clearTrace();
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_TRUE(waitUntil([&] { return calc.documentText() == QStringLiteral("alpha beta gamma"); }, 10s))
      << calc.documentText().value_or(QStringLiteral("(unreadable)")).toStdString();
  EXPECT_TRUE(becomesIdle(pid, 2s));
  QStringList trace = traceLines();
  EXPECT_TRUE(trace.filter(copied).isEmpty()) << trace.join(u'\n').toStdString();

  clearTrace();
  ASSERT_TRUE(TestKeyboard::run({"key", "Home", "Right", "Right", "Right", "Right", "Right", "Right", "shift+Right",
                                 "shift+Right", "shift+Right", "shift+Right"}));
  ASSERT_TRUE(waitUntil([&] { return calc.shown().value_or(OfficeEditor::Shown{}).selection == u"6-10"; }, 10s));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(waitUntil([&] { return calc.documentText() == QStringLiteral("alpha bold gamma"); }, 10s))
      << calc.documentText().value_or(QStringLiteral("(unreadable)")).toStdString();
  EXPECT_TRUE(service.lastRequest().body.contains("name=\"selected_text\"\r\n\r\nbeta\r\n"));
  EXPECT_TRUE(becomesIdle(pid, 2s));
  trace = traceLines();
  EXPECT_FALSE(trace.filter(QRegularExpression(QStringLiteral("^snapshot\\[AX-.*isEditable=true$"))).isEmpty())
      << trace.join(u'\n').toStdString();
  EXPECT_TRUE(trace.filter(copied).isEmpty()) << trace.join(u'\n').toStdString();
  EXPECT_LT(residentMegabytesOf(pid) - memoryBefore, 50);
}

}  // namespace
