// Dictations, rewrites and agent requests in the real terminals of a Debian
// desktop, with a program running in them and with output that has scrolled:
// no key the program types may reach that program as an interrupt, an answer
// never lands on the command line in place of the output the user
// highlighted, and a dictation lands at the prompt.
#include "fakeaccessibility.h"
#include "realpanels.h"
#include "speakingdesktopflow.h"
#include "terminalwindow.h"
#include "tracelines.h"
#include "windowgeometry.h"

#include "overlays/overlayclosebutton.h"
#include "overlays/resultoverlayview.h"

#include <QRegularExpression>

namespace {

const KeyChord kTerminalCopy{KeyChord::Key::c, true};
const KeyChord kTerminalPaste{KeyChord::Key::v, true};

class TerminalsOnTheDesktop : public SpeakingDesktopFlow {
 protected:
  bool uploadedSelection(const QByteArray& text) const {
    return service.lastRequest().body.contains("name=\"selected_text\"\r\n\r\n" + text + "\r\n");
  }
  bool uploadedNoSelection() const { return !service.lastRequest().body.contains("name=\"selected_text\""); }
  // Highlights the word "new" of the line "brave new world" at the top, as
  // the user does with a double click, until the terminal holds it as PRIMARY.
  bool highlightNew(TerminalWindow& terminal) {
    const auto app = front.frontmost();
    return app && terminal.click(0, 7, 2) && waitUntil([&] {
             return primarySelection.isOwnedBy(*app) && primarySelection.string() == QStringLiteral("new");
           });
  }
  // The command line once it is no longer `before`: what a paste made of it.
  QString commandLineAfter(TerminalWindow& terminal, const QString& before) {
    std::optional<QString> line;
    waitUntil([&] { return (line = terminal.commandLine()) && line != before; });
    return line.value_or(QStringLiteral("(no answer)"));
  }
  // The chords typed, for failure messages ("C+S+c" is Control+Shift+C).
  QString chords() const {
    QStringList names;
    for (const KeyChord& chord : noted.chords) {
      static const char* const keys[] = {"c", "v", "Insert", "Delete"};
      names << QStringLiteral("%1%2%3").arg(chord.control ? "C+" : "", chord.shift ? "S+" : "", keys[int(chord.key)]);
    }
    return names.join(u' ');
  }
};

// Konsole disables its Copy action while nothing is selected; its
// Control+Shift+C then reaches the program running in it as ^C. With cat
// reading lines there, a dictation and an agent request with nothing
// selected type no copy key (at the press, nor at the stop that looks
// again): cat still runs and the dictation is on its line. A word highlighted
// afterwards is still read for a rewrite, and the answer is shown in the
// panel. Read once through accessibility (the desktop runs it for Qt
// programs) and once with none, as on most desktops without a screen reader:
// the highlight is then read from Konsole's PRIMARY selection.
class KonsoleWithARunningProgram : public TerminalsOnTheDesktop, public ::testing::WithParamInterface<bool> {};

TEST_P(KonsoleWithARunningProgram, NoRequestInterruptsItAndAHighlightedWordIsStillRead) {
  std::optional<FakeAccessibility> noAccessibility;  // finds no focused element anywhere
  if (!GetParam()) noAccessibility.emplace();
  TerminalWindow konsole(TerminalWindow::Program::konsole);
  ASSERT_TRUE(konsole.start(QStringLiteral("brave new world")));
  ASSERT_TRUE(isInFront(konsole.processId()));
  ASSERT_TRUE(konsole.startLineReader());
  answerNext("transcribe", "paste", "ls -la");
  answerNext("agent", "show_markdown", "done");
  answerNext("rewrite", "paste", "NEW");

  const qint64 readBefore = pasteboard.timesRead();
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_TRUE(uploadedNoSelection());
  // Pressed once Konsole has read the paste, as a person presses: while it
  // reads the clipboard it answers no accessibility question.
  ASSERT_TRUE(waitUntil([&] { return noted.chords.contains(kTerminalPaste) && pasteboard.timesRead() > readBefore; }));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressAgent));
  EXPECT_TRUE(uploadedNoSelection());
  EXPECT_EQ(noted.chords, QList<KeyChord>{kTerminalPaste}) << chords().toStdString();
  EXPECT_TRUE(konsole.lineReaderRuns());
  ASSERT_TRUE(TestKeyboard::run({"key", "Return"}));
  QString read;
  EXPECT_TRUE(waitUntil([&] { return !(read = konsole.linesRead()).isEmpty(); }));
  EXPECT_EQ(read, QStringLiteral("ls -la\n"));

  ASSERT_TRUE(highlightNew(konsole));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("new"));
  const QString readFrom = GetParam() ? QStringLiteral("snapshot[AX-") : QStringLiteral("from PRIMARY, no key sent");
  EXPECT_EQ(traceLines().filter(readFrom).size(), 1) << traceLines().join(u'\n').toStdString();
  EXPECT_TRUE(waitUntil([&] { return overlays.calls.contains(QStringLiteral("result plain NEW")); }))
      << overlays.calls.join(u'|').toStdString();
  EXPECT_EQ(noted.chords, QList<KeyChord>{kTerminalPaste}) << chords().toStdString();
  EXPECT_TRUE(konsole.lineReaderRuns());
  EXPECT_EQ(konsole.linesRead(), QStringLiteral("ls -la\n"));
}

INSTANTIATE_TEST_SUITE_P(Debian, KonsoleWithARunningProgram, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "ReadThroughAccessibility" : "WithoutAccessibility");
});

// QTerminal shows nothing to accessibility, drops its highlight on a paste,
// and its copy key then leaves the clipboard as it was: a rewrite of a word
// highlighted in its output is shown in the panel, and the command line stays
// as it was. A dictation is typed at the prompt once.
TEST_F(TerminalsOnTheDesktop, InQterminalARewriteOfItsOutputIsShownAndADictationIsTypedOnce) {
  TerminalWindow qterminal(TerminalWindow::Program::qterminal);
  ASSERT_TRUE(qterminal.start(QStringLiteral("brave new world")));
  ASSERT_TRUE(isInFront(qterminal.processId()));
  answerNext("transcribe", "paste", "ls -la");
  answerNext("rewrite", "paste", "NEW");
  ASSERT_TRUE(qterminal.typeAtPrompt(QStringLiteral("echo ")));

  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_TRUE(uploadedNoSelection());
  std::optional<QString> line;
  EXPECT_TRUE(waitUntil([&] { return (line = qterminal.commandLine()) && line != QStringLiteral("echo "); }));
  EXPECT_EQ(line.value_or(QStringLiteral("(no answer)")), QStringLiteral("echo ls -la"));

  ASSERT_TRUE(highlightNew(qterminal));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("new"));
  EXPECT_TRUE(waitUntil([&] { return overlays.calls.contains(QStringLiteral("result plain NEW")); }))
      << overlays.calls.join(u'|').toStdString();
  EXPECT_EQ(qterminal.commandLine().value_or(QStringLiteral("(no answer)")), QStringLiteral("echo ls -la"));
  EXPECT_EQ(noted.chords, QList<KeyChord>{kTerminalPaste}) << chords().toStdString();
  EXPECT_FALSE(noted.chords.contains(kTerminalCopy));
}

// Every family of terminal on a Debian desktop, once its output has scrolled
// as in any terminal used a while. The first dictation after the terminal
// starts is pasted at the prompt once: GNOME Terminal and MATE Terminal (and
// cool-retro-term, whose paste does not depend on it) ask for the clipboard's
// formats whenever it changes hands, and the paste key waits for that
// question; the others ask none, and the key waits for none longer than
// 60 ms. A word highlighted in the output is read with no key, and a rewrite
// of it is shown in the panel with the command line untouched: VTE's
// accessible selection no longer says where the highlight is once the screen
// has scrolled, and cool-retro-term's accessible text is empty whatever it
// shows. Once a click has cleared the highlight (the terminal still holds the
// word as PRIMARY), nothing is uploaded as selected, and the rewrite's new
// text is typed at the prompt.
struct ScrolledTerminal {
  const char* name;
  TerminalWindow::Program program;
  KeyChord paste;
  // How the wait for the clipboard's formats ended before the first paste
  // key; nothing where the paste takes PRIMARY and nothing is waited for.
  const char* formatsWait;
};

void PrintTo(const ScrolledTerminal& terminal, std::ostream* out) { *out << terminal.name; }

class TerminalsThatHaveScrolled : public TerminalsOnTheDesktop,
                                  public ::testing::WithParamInterface<ScrolledTerminal> {};

TEST_P(TerminalsThatHaveScrolled, PasteAtThePromptAndShowARewriteOfTheHighlightedOutput) {
  TerminalWindow terminal(GetParam().program);
  ASSERT_TRUE(terminal.start(QStringLiteral("brave new world"), TerminalWindow::Output::scrolled));
  ASSERT_TRUE(isInFront(terminal.processId()));
  answerNext("transcribe", "paste", "ls -la");
  answerNext("rewrite", "paste", "NEW");
  answerNext("rewrite", "paste", "X");
  ASSERT_TRUE(terminal.typeAtPrompt(QStringLiteral("echo ")));

  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_TRUE(uploadedNoSelection());
  EXPECT_EQ(commandLineAfter(terminal, QStringLiteral("echo ")), QStringLiteral("echo ls -la"));
  const QStringList waits = traceLines().filter(QRegularExpression(QStringLiteral("^paste: ")));
  EXPECT_EQ(waits.size(), GetParam().formatsWait ? 1 : 0) << waits.join(u'\n').toStdString();
  if (GetParam().formatsWait && !waits.isEmpty()) {
    EXPECT_TRUE(waits.constFirst().endsWith(QLatin1String(GetParam().formatsWait))) << waits.constFirst().toStdString();
  }

  ASSERT_TRUE(highlightNew(terminal));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("new")) << traceLines().join(u'\n').toStdString();
  EXPECT_TRUE(waitUntil([&] { return overlays.calls.contains(QStringLiteral("result plain NEW")); }))
      << overlays.calls.join(u'|').toStdString();
  EXPECT_EQ(terminal.commandLine().value_or(QStringLiteral("(no answer)")), QStringLiteral("echo ls -la"));

  ASSERT_TRUE(terminal.click(3, 30, 1));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedNoSelection()) << traceLines().join(u'\n').toStdString();
  EXPECT_EQ(commandLineAfter(terminal, QStringLiteral("echo ls -la")), QStringLiteral("echo ls -laX"));
  EXPECT_EQ(noted.chords, (QList<KeyChord>{GetParam().paste, GetParam().paste})) << chords().toStdString();
}

// As measured: what each terminal asks the clipboard's owner when it changes hands.
constexpr const char* kAsked = "has the clipboard's formats";
constexpr const char* kNotAsked = "asks for no clipboard formats at a change";

INSTANTIATE_TEST_SUITE_P(
    Debian, TerminalsThatHaveScrolled,
    ::testing::Values(ScrolledTerminal{"xterm", TerminalWindow::Program::xterm, KeyChord::shiftInsert(), nullptr},
                      ScrolledTerminal{"LXTerminal", TerminalWindow::Program::lxterminal, kTerminalPaste, kNotAsked},
                      ScrolledTerminal{"Xfce4Terminal", TerminalWindow::Program::xfce4terminal, kTerminalPaste,
                                       kNotAsked},
                      ScrolledTerminal{"GnomeTerminal", TerminalWindow::Program::gnometerminal, kTerminalPaste, kAsked},
                      ScrolledTerminal{"MateTerminal", TerminalWindow::Program::mateterminal, kTerminalPaste, kAsked},
                      ScrolledTerminal{"Konsole", TerminalWindow::Program::konsole, kTerminalPaste, kNotAsked},
                      ScrolledTerminal{"QTerminal", TerminalWindow::Program::qterminal, kTerminalPaste, kNotAsked},
                      ScrolledTerminal{"CoolRetroTerm", TerminalWindow::Program::coolretroterm, kTerminalPaste,
                                       kAsked}),
    [](const auto& info) { return std::string(info.param.name); });

// The user rewrites a word highlighted in a terminal; the answer shows in the
// panel, which the user has dragged over the terminal, and closes with its ×.
// That press was the panel's, not the terminal's: the word is still
// highlighted there, and a rewrite asked for next is sent with it, although the
// panel hid on the click and the pointer now rests over the terminal. Once
// xterm (which pastes PRIMARY) and once GNOME Terminal that has scrolled (its
// accessibility no longer says where the highlight is).
class TerminalsUnderThePanel : public TerminalsOnTheDesktop,
                               public ::testing::WithParamInterface<ScrolledTerminal> {
 protected:
  RealPanels panels;
};

TEST_P(TerminalsUnderThePanel, AClickOnThePanelsCloseButtonLeavesTheHighlightedWordSelected) {
  TerminalWindow terminal(GetParam().program);
  ASSERT_TRUE(terminal.start(QStringLiteral("brave new world"), TerminalWindow::Output::scrolled));
  ASSERT_TRUE(isInFront(terminal.processId()));
  answerNext("rewrite", "paste", "NEW");
  answerNext("rewrite", "paste", "NEWER");
  ASSERT_TRUE(highlightNew(terminal));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("new"));
  ASSERT_TRUE(waitUntil(&RealPanels::resultShown));

  // The × over the middle of the terminal's window.
  OverlayPanel* panel = RealPanels::result().panel();
  QWidget* close = panel->findChild<ResultOverlayView*>()->closeButton();
  const auto app = front.frontmost();
  ASSERT_TRUE(app);
  const QRect window = windowGeometry(app->window);
  ASSERT_FALSE(window.isEmpty());
  panel->move(panel->pos() + window.center() - close->mapToGlobal(close->rect().center()));
  ASSERT_TRUE(waitUntil([&] { return window.contains(close->mapToGlobal(close->rect().center())); }));
  const QPoint at = close->mapToGlobal(close->rect().center());
  ASSERT_TRUE(TestKeyboard::run({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"}));
  ASSERT_TRUE(waitUntil([] { return !RealPanels::resultShown(); }));
  ASSERT_TRUE(primarySelection.isOwnedBy(*app) && primarySelection.string() == QStringLiteral("new"));

  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("new")) << traceLines().join(u'\n').toStdString();
  EXPECT_TRUE(traceLines().filter(QStringLiteral("cleared by a click")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Debian, TerminalsUnderThePanel,
    ::testing::Values(
        ScrolledTerminal{"xterm", TerminalWindow::Program::xterm, KeyChord::shiftInsert(), nullptr},
        ScrolledTerminal{"GnomeTerminal", TerminalWindow::Program::gnometerminal, kTerminalPaste, kAsked}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
