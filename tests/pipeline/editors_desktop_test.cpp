// Dictations and rewrites in the real editors, browsers and terminals of a
// Debian desktop, as a user makes them: the keys that copy and paste, and what
// the document holds afterwards.
#include "browserpage.h"
#include "desktopeditor.h"
#include "speakingdesktopflow.h"
#include "fakeaccessibility.h"
#include "fakesynthetickeyboard.h"
#include "realpanels.h"
#include "terminalwindow.h"
#include "testkeygrabber.h"
#include "testmicrophone.h"
#include "testpointer.h"
#include "testwindow.h"
#include "tracelines.h"

#include "overlays/markdownscrollview.h"
#include "overlays/overlayclosebutton.h"
#include "overlays/resultoverlayview.h"
#include "overlays/resultplaintext.h"
#include "pipeline/selectionsnapshot.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <variant>

using namespace std::chrono_literals;

namespace {

class EditorsOnTheDesktop : public SpeakingDesktopFlow {
 protected:
  // Selects `length` characters from `start` in the application in front, as
  // the user does with the keys, once it takes keys: until it holds the
  // selection as its PRIMARY selection.
  bool selectInFront(int start, int length, const QString& expected) {
    return selectInFront([&] { return TestKeyboard::selectWithKeys(start, length); }, expected);
  }
  // The same with the user's own way of selecting, `select`.
  bool selectInFront(const std::function<bool()>& select, const QString& expected) {
    for (int attempt = 0; attempt < 10; ++attempt) {
      if (!select()) return false;
      if (waitUntil([&] {
            const auto app = front.frontmost();
            return app && primarySelection.isOwnedBy(*app) && primarySelection.string() == expected;
          }, 2s)) {
        return true;
      }
    }
    return false;
  }
  bool uploadedSelection(const QByteArray& text) const {
    return service.lastRequest().body.contains("name=\"selected_text\"\r\n\r\n" + text + "\r\n");
  }
  // The name of the window in front; empty when none is.
  static QString activeWindowName() {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")});
    if (!xdotool.waitForFinished(5000) || xdotool.exitCode() != 0) return {};
    return QString::fromUtf8(xdotool.readAllStandardOutput()).trimmed();
  }
  // The user clicks at (`x`, `y`) in the window in front.
  static std::function<void()> clickInFront(int x, int y) {
    return [x, y] {
      TestKeyboard::run({"getactivewindow", "mousemove", "--window", "%1", QString::number(x), QString::number(y),
                         "click", "1"});
    };
  }

};

// The editors and browsers that replace a selection on a paste. Each gets a
// rewrite of the word "beta" selected with the keys, then a dictation at the
// start of the text: the answer replaces the word once, the dictation is
// typed once, with Control+Insert as the only copy key and Shift+Insert as
// the paste. The browsers keep their accessibility off unless a screen reader
// asks for it: their word is read through the copy, and their page (which
// may hold a terminal that takes Control+C for an interrupt) never receives
// Control+C. NEdit (Motif) offers its selections as STRING alone and AbiWord
// ends its text in a NUL: their word too is read through the copy.
struct ReplacingEditor {
  const char* name;
  std::variant<DesktopEditor::Program, BrowserPage::Browser> program;
};

class EditorsThatReplaceOnPaste : public EditorsOnTheDesktop, public ::testing::WithParamInterface<ReplacingEditor> {};

TEST_P(EditorsThatReplaceOnPaste, ARewriteReplacesTheWordAndADictationIsTypedOnce) {
  std::unique_ptr<DesktopEditor> editor;
  std::unique_ptr<BrowserPage> page;
  if (const auto* program = std::get_if<DesktopEditor::Program>(&GetParam().program)) {
    editor = std::make_unique<DesktopEditor>(*program);
    ASSERT_TRUE(editor->open(QStringLiteral("alpha beta gamma")));
    ASSERT_TRUE(isInFront(editor->processId()));
  } else {
    page = std::make_unique<BrowserPage>(std::get<BrowserPage::Browser>(GetParam().program));
    ASSERT_TRUE(page->open(QStringLiteral("alpha beta gamma")));
    ASSERT_TRUE(isInFront(page->processId()));
  }
  const auto text = [&] {
    return editor ? editor->saveAndRead().value_or(QString()).trimmed() : page->text().value_or(QString());
  };
  ASSERT_TRUE(selectInFront(6, 4, QStringLiteral("beta")));
  answerNext("rewrite", "paste", "BETA");
  answerNext("transcribe", "paste", "delta ");

  QString last;
  const auto holds = [&](const QString& expected) {
    return waitUntil([&] { return (last = text()) == expected; }, 15s);
  };

  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("beta"));
  if (page) {  // read through the copy
    EXPECT_EQ(traceLines().filter(QStringLiteral("CmdC-Fallback snapshot")).size(), 1);
  }
  // Keys typed before the paste has landed would go first.
  EXPECT_TRUE(holds(QStringLiteral("alpha BETA gamma"))) << last.toStdString();
  ASSERT_TRUE(TestKeyboard::run({"key", "ctrl+Home"}));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
  EXPECT_TRUE(holds(QStringLiteral("delta alpha BETA gamma"))) << last.toStdString();
  EXPECT_TRUE(overlays.calls.filter(QStringLiteral("result")).isEmpty()) << overlays.calls.join(u'|').toStdString();
  for (const KeyChord& chord : noted.chords) {
    EXPECT_TRUE(chord == KeyChord::controlInsert() || chord == KeyChord::shiftInsert());
  }
  if (page) {
    EXPECT_FALSE(page->controlChords().contains(QStringLiteral("C-c"))) << page->controlChords().join(u' ').toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Debian, EditorsThatReplaceOnPaste,
                         ::testing::Values(ReplacingEditor{"Mousepad", DesktopEditor::Program::mousepad},
                                           ReplacingEditor{"GnomeTextEditor", DesktopEditor::Program::gnomeTextEditor},
                                           ReplacingEditor{"FeatherPad", DesktopEditor::Program::featherpad},
                                           ReplacingEditor{"NEdit", DesktopEditor::Program::nedit},
                                           ReplacingEditor{"AbiWord", DesktopEditor::Program::abiword},
                                           ReplacingEditor{"Chromium", BrowserPage::Browser::chromium},
                                           ReplacingEditor{"Firefox", BrowserPage::Browser::firefox}),
                         [](const auto& info) { return std::string(info.param.name); });

// The same editors where accessibility cannot read them (a desktop that runs
// no accessibility bus for them): the word selected there is read by their
// copy key, Control+Insert, the only key typed.
class EditorsWithoutAccessibility : public EditorsOnTheDesktop,
                                    public ::testing::WithParamInterface<DesktopEditor::Program> {};

TEST_P(EditorsWithoutAccessibility, ReadTheSelectedWordThroughTheCopy) {
  DesktopEditor editor(GetParam());
  ASSERT_TRUE(editor.open(QStringLiteral("alpha beta gamma")));
  ASSERT_TRUE(isInFront(editor.processId()));
  ASSERT_TRUE(selectInFront(6, 4, QStringLiteral("beta")));
  FakeAccessibility noAccessibility;  // finds no focused element anywhere
  noted.chords.clear();
  const std::optional<SelectionSnapshot> snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot.has_value());
  EXPECT_EQ(snapshot->text, QStringLiteral("beta"));
  EXPECT_EQ(snapshot->source, SelectionSnapshot::Source::cmdCopy);
  EXPECT_EQ(noted.chords, QList<KeyChord>{KeyChord::controlInsert()});
}

INSTANTIATE_TEST_SUITE_P(Debian, EditorsWithoutAccessibility,
                         ::testing::Values(DesktopEditor::Program::mousepad, DesktopEditor::Program::gnomeTextEditor,
                                           DesktopEditor::Program::featherpad),
                         [](const auto& info) {
                           switch (info.param) {
                             case DesktopEditor::Program::mousepad: return std::string("Mousepad");
                             case DesktopEditor::Program::gnomeTextEditor: return std::string("GnomeTextEditor");
                             default: return std::string("FeatherPad");
                           }
                         });

// A Tk editor (Python's tkinter) names no process on its window, has no
// accessibility, pastes beside a selection, and calls its window class what
// it likes: the X server names its process, the word selected there is read
// through the copy, and it is cut before the answer is pasted, once. A
// dictation is typed once. A selection clicked away while the user speaks is
// no longer Tk's PRIMARY selection: nothing is cut, the answer goes where the
// click put the cursor.
TEST_F(EditorsOnTheDesktop, InATkEditorARewriteReplacesTheWordAndADictationIsTypedOnce) {
  TestWindow editor;
  ASSERT_TRUE(editor.start(TestWindow::Kind::tkEditor));
  ASSERT_TRUE(editor.command(QStringLiteral("text alpha beta gamma")));
  ASSERT_TRUE(isInFront(editor.processId()));
  EXPECT_TRUE(front.frontmost().value_or(RunningApplication{}).tk);
  ASSERT_TRUE(selectInFront(6, 4, QStringLiteral("beta")));
  answerNext("rewrite", "paste", "BETA");
  answerNext("transcribe", "paste", "delta ");
  answerNext("rewrite", "paste", "X");
  const auto text = [&] {
    const QStringList changes = editor.lines().filter(QRegularExpression(QStringLiteral("^text ")));
    return changes.isEmpty() ? QString() : changes.last().mid(5);
  };

  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("beta"));
  EXPECT_TRUE(waitUntil([&] { return text() == QStringLiteral("alpha BETA gamma"); }, 10s)) << text().toStdString();

  ASSERT_TRUE(TestKeyboard::run({"key", "ctrl+Home"}));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_TRUE(waitUntil([&] { return text() == QStringLiteral("delta alpha BETA gamma"); }, 10s)) << text().toStdString();

  ASSERT_TRUE(selectInFront(6, 5, QStringLiteral("alpha")));
  // Before "delta": left of its first character, however wide the font draws it.
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite, 6, clickInFront(2, 6)));
  EXPECT_TRUE(uploadedSelection("alpha"));
  EXPECT_TRUE(waitUntil([&] { return text() == QStringLiteral("Xdelta alpha BETA gamma"); }, 10s)) << text().toStdString();
  EXPECT_TRUE(overlays.calls.filter(QStringLiteral("result")).isEmpty()) << overlays.calls.join(u'|').toStdString();
}

// GNU Emacs as a new user starts it (emacs -Q): Control+C is a prefix key
// there and Control+V a page down, its copy copies and ends the region, and
// its paste goes beside a region. A dictation into an empty buffer is typed
// once; a rewrite of a shift-selected word replaces it, with no panel. A
// word whose region the user clicked away while speaking is still Emacs's
// PRIMARY selection, but no longer lies between mark and cursor: nothing is
// cut, the answer goes where the click put the cursor.
TEST_F(EditorsOnTheDesktop, InEmacsADictationIsTypedOnceAndARewriteReplacesTheSelectedWord) {
  DesktopEditor emacs(DesktopEditor::Program::emacs);
  ASSERT_TRUE(emacs.open(QString()));
  ASSERT_TRUE(isInFront(emacs.processId()));
  answerNext("transcribe", "paste", "Zebra quokka 4711");
  answerNext("rewrite", "paste", "QUOKKA");
  answerNext("rewrite", "paste", "X");
  QString last;
  const auto holds = [&](const QString& expected) {
    // Saved, the text gains a line break at its end, as text files do in Emacs.
    return waitUntil([&] { return (last = emacs.saveAndRead().value_or(QString()).trimmed()) == expected; }, 15s);
  };

  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
  EXPECT_TRUE(holds(QStringLiteral("Zebra quokka 4711"))) << last.toStdString();

  ASSERT_TRUE(selectInFront(6, 6, QStringLiteral("quokka")));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("quokka"));
  EXPECT_TRUE(holds(QStringLiteral("Zebra QUOKKA 4711"))) << last.toStdString();
  // The paste is checked with a copy, which would end a region made meanwhile.
  ASSERT_TRUE(waitUntil([] { return !traceLines().filter(QStringLiteral("pasteAndVerify: paste")).isEmpty(); }));

  ASSERT_TRUE(selectInFront(0, 5, QStringLiteral("Zebra")));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite, 6, clickInFront(300, 300)));  // below the text
  EXPECT_TRUE(uploadedSelection("Zebra"));
  EXPECT_TRUE(holds(QStringLiteral("Zebra QUOKKA 4711\nX"))) << last.toStdString();  // on the line below
  EXPECT_TRUE(overlays.calls.filter(QStringLiteral("result")).isEmpty()) << overlays.calls.join(u'|').toStdString();
}

// A dictation in Emacs with no region shown leaves the kill ring as the user
// left it, apart from the answer itself, which the paste (a yank of the
// clipboard) puts in front, as any yank of another program's text does. Emacs
// gets no copy key: it would add the text between mark and cursor. Also once
// a region was shown and ended: Emacs keeps that region's text on PRIMARY.
TEST_F(EditorsOnTheDesktop, InEmacsADictationWithNoRegionShownLeavesTheKillRingAsItWas) {
  DesktopEditor emacs(DesktopEditor::Program::emacs);
  ASSERT_TRUE(emacs.open(QStringLiteral("alpha beta gamma")));
  ASSERT_TRUE(isInFront(emacs.processId()));
  const auto killRing = [&] {
    return emacs.evaluate(QStringLiteral("(mapcar #'substring-no-properties kill-ring)"))
        .value_or(QStringLiteral("(no answer)"))
        .toStdString();
  };
  ASSERT_TRUE(waitUntil([&] { return emacs.evaluate(QStringLiteral("t")).has_value(); }, 10s));  // its server is up
  ASSERT_TRUE(emacs.evaluate(QStringLiteral(R"((kill-new "from the user"))")));
  answerNext("transcribe", "paste", "one");
  answerNext("transcribe", "paste", " two");
  QString last;
  const auto holds = [&](const QString& expected) {
    return waitUntil([&] { return (last = emacs.saveAndRead().value_or(QString()).trimmed()) == expected; }, 15s);
  };

  // The mark at the start, the cursor at the end: no region shown.
  ASSERT_TRUE(TestKeyboard::run({"key", "ctrl+Home", "ctrl+End"}));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
  EXPECT_TRUE(holds(QStringLiteral("alpha beta gamma\none"))) << last.toStdString();
  EXPECT_EQ(killRing(), R"(("one" "from the user"))");

  // A region shown, then ended by C-g and a move.
  ASSERT_TRUE(selectInFront(6, 4, QStringLiteral("beta")));
  ASSERT_TRUE(TestKeyboard::run({"key", "ctrl+g", "End"}));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
  EXPECT_TRUE(holds(QStringLiteral("alpha beta gamma two\none"))) << last.toStdString();
  EXPECT_EQ(killRing(), R"((" two" "one" "from the user"))");
  EXPECT_FALSE(noted.chords.contains(KeyChord::controlInsert()));
}

// gvim (Debian's vim-gtk3) is never sent a key that switches its mode: its
// Control+Insert is Insert, its Shift+Insert a middle click that pastes
// PRIMARY. A word selected in Visual mode is read from PRIMARY with no key,
// and since no key replaces it without leaving Visual mode, the answer is
// shown in the panel, the buffer and the mode as they were. Five dictations
// in Insert mode are then typed once each at the cursor, through PRIMARY,
// although gvim still holds the word it showed last on PRIMARY.
TEST_F(EditorsOnTheDesktop, InGvimAVisualSelectionIsShownInThePanelAndDictationsInInsertModeAreTypedOnce) {
  DesktopEditor gvim(DesktopEditor::Program::gvim);
  ASSERT_TRUE(gvim.open(QStringLiteral("alpha beta gamma")));
  ASSERT_TRUE(isInFront(gvim.processId()));
  const auto mode = [&] { return gvim.evaluate(QStringLiteral("mode()")).value_or(QStringLiteral("(no answer)")); };
  QString last;
  const auto holds = [&](const QString& expected) {
    return waitUntil([&] { return (last = gvim.saveAndRead().value_or(QString()).trimmed()) == expected; }, 10s);
  };
  ASSERT_TRUE(waitUntil([&] { return mode() == QStringLiteral("n"); }, 10s));

  ASSERT_TRUE(TestKeyboard::run({"type", "0wve"}));
  ASSERT_TRUE(waitUntil([&] {
    return primarySelection.isOwnedBy(*front.frontmost()) && primarySelection.string() == QStringLiteral("beta");
  }));
  answerNext("rewrite", "paste", "BETA");
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("beta"));
  EXPECT_EQ(overlays.calls.filter(QStringLiteral("result")).size(), 1) << overlays.calls.join(u'|').toStdString();
  EXPECT_EQ(mode(), QStringLiteral("v"));
  EXPECT_EQ(gvim.evaluate(QStringLiteral("getline(1)")), QStringLiteral("alpha beta gamma"));
  EXPECT_TRUE(noted.chords.isEmpty());

  ASSERT_TRUE(TestKeyboard::run({"key", "Escape"}));
  ASSERT_TRUE(TestKeyboard::run({"type", "0wi"}));  // before "beta"
  ASSERT_TRUE(waitUntil([&] { return mode() == QStringLiteral("i"); }));
  QString expected = QStringLiteral("alpha ");
  for (const char* word : {"one ", "two ", "three ", "four ", "five "}) {
    answerNext("transcribe", "paste", word);
    ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
    EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""));
    expected += QLatin1String(word);
    EXPECT_TRUE(holds(expected + QStringLiteral("beta gamma"))) << last.toStdString();
  }
  EXPECT_EQ(mode(), QStringLiteral("i"));
  EXPECT_EQ(overlays.calls.filter(QStringLiteral("result")).size(), 1) << overlays.calls.join(u'|').toStdString();
  EXPECT_EQ(noted.chords, QList<KeyChord>(5, KeyChord::shiftInsert()));
}

// The user keeps a word selected in gvim's Visual mode and makes one request
// after another over it, closing the answer panel in between: each request
// reads the word and shows its answer, the buffer and the mode untouched. The
// hotkeys never reach gvim, so they never end its selection, nor does the
// shortcut of another program pressed in between. A key that does reach it
// counts: Escape ends Visual mode (gvim takes PRIMARY once more with the word,
// as it does at every key that ends its selection), and after one more key, a
// move, the next request finds nothing selected.
TEST_F(EditorsOnTheDesktop, InGvimEveryRequestOverAKeptVisualSelectionReadsItAndShowsItsAnswer) {
  RealPanels panels;
  DesktopEditor gvim(DesktopEditor::Program::gvim);
  ASSERT_TRUE(gvim.open(QStringLiteral("alpha beta gamma")));
  ASSERT_TRUE(isInFront(gvim.processId()));
  const auto mode = [&] { return gvim.evaluate(QStringLiteral("mode()")).value_or(QStringLiteral("(no answer)")); };
  ASSERT_TRUE(waitUntil([&] { return mode() == QStringLiteral("n"); }, 10s));
  ASSERT_TRUE(TestKeyboard::run({"type", "0wve"}));
  ASSERT_TRUE(waitUntil([&] {
    return primarySelection.isOwnedBy(*front.frontmost()) && primarySelection.string() == QStringLiteral("beta");
  }));
  // The answer as the panel shows it on screen.
  const auto shownAnswer = [] {
    if (!RealPanels::resultShown()) return QString();
    const ResultOverlayView* view = RealPanels::result().panel()->findChild<ResultOverlayView*>();
    if (!view) return QString();
    if (view->plainTextView()->isVisible()) return view->plainTextView()->text();
    return view->markdownView()->isVisible() ? view->markdownView()->text() : QString();
  };

  const struct {
    const char* name;
    bool (*press)();
    const char* operation;
    const char* action;
    const char* answer;
  } requests[] = {
      {"agent", &pressAgent, "agent", "show_markdown", "about beta"},
      {"rewrite", &pressRewrite, "rewrite", "paste", "BETA"},
      {"dictation", &pressDictate, "transcribe", "paste", "delta"},
  };
  TestKeyGrabber shortcuts;  // another program's, as a desktop's shortcut daemon holds them
  ASSERT_TRUE(shortcuts.grab({"super", "F9"}));
  for (const auto& request : requests) {
    SCOPED_TRACE(request.name);
    ASSERT_TRUE(TestKeyboard::run({"key", "super+F9"}));
    answerNext(QLatin1String(request.operation), QLatin1String(request.action), QLatin1String(request.answer));
    ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(request.press));
    EXPECT_TRUE(uploadedSelection("beta")) << traceLines().filter(QStringLiteral("CmdC")).join(u'\n').toStdString();
    QString shown;
    EXPECT_TRUE(waitUntil([&] { return (shown = shownAnswer()) == QLatin1String(request.answer); }, 10s))
        << shown.toStdString();
    EXPECT_EQ(mode(), QStringLiteral("v"));
    EXPECT_EQ(gvim.evaluate(QStringLiteral("getline(1)")), QStringLiteral("alpha beta gamma"));
    // The user closes the panel.
    ResultOverlayView* view = RealPanels::result().panel()->findChild<ResultOverlayView*>();
    ASSERT_TRUE(view && QTest::qWaitForWindowExposed(view->window()->windowHandle()));
    const QWidget* close = view->closeButton();
    ASSERT_TRUE(TestPointer::click(close->mapToGlobal(close->rect().center())));
    ASSERT_TRUE(waitUntil([] { return !RealPanels::resultShown(); }));
  }
  EXPECT_TRUE(noted.chords.isEmpty());

  ASSERT_TRUE(TestKeyboard::run({"key", "Escape"}));
  ASSERT_TRUE(waitUntil([&] { return mode() == QStringLiteral("n"); }));
  ASSERT_TRUE(TestKeyboard::run({"key", "l"}));
  ASSERT_TRUE(waitUntil([&] { return gvim.evaluate(QStringLiteral("col('.')")) == QStringLiteral("11"); }));
  answerNext("agent", "show_markdown", "nothing selected");
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressAgent));
  EXPECT_FALSE(service.lastRequest().body.contains("name=\"selected_text\""))
      << traceLines().filter(QStringLiteral("CmdC")).join(u'\n').toStdString();
  EXPECT_EQ(gvim.evaluate(QStringLiteral("getline(1)")), QStringLiteral("alpha beta gamma"));
}

// xedit (the Athena text widget) keeps its selection on PRIMARY only, and
// toggles overwrite on Control+Insert: a word selected there is read from
// PRIMARY with no key, cut with Shift+Delete and replaced through PRIMARY with
// Shift+Insert. A dictation is typed once at the caret, and text typed
// afterwards is inserted, not written over.
TEST_F(EditorsOnTheDesktop, InXeditARewriteReplacesTheSelectedWordAndOverwriteIsNeverSwitched) {
  DesktopEditor xedit(DesktopEditor::Program::xedit);
  ASSERT_TRUE(xedit.open(QStringLiteral("alpha beta gamma")));
  ASSERT_TRUE(isInFront(xedit.processId()));
  QString last;
  const auto holds = [&](const QString& expected) {
    return waitUntil([&] { return (last = xedit.saveAndRead().value_or(QString()).trimmed()) == expected; }, 15s);
  };
  // xedit selects from the keys only through its search (Control+S opens it,
  // Return finds the word from the caret and selects it), wherever its fonts
  // draw the text. Keys typed before a window is active are lost: try again.
  ASSERT_TRUE(selectInFront(
      [] {
        if (activeWindowName() != QStringLiteral("search")) {
          if (!TestKeyboard::run({"key", "ctrl+a", "ctrl+s"})) return false;  // from the start of the line
          if (!waitUntil([] { return activeWindowName() == QStringLiteral("search"); }, 5s)) return true;
        }
        return TestKeyboard::run({"key", "ctrl+a", "ctrl+k"}) && TestKeyboard::run({"type", "beta"}) &&
               TestKeyboard::run({"key", "Return"});
      },
      QStringLiteral("beta")));
  answerNext("rewrite", "paste", "BETA");
  answerNext("transcribe", "paste", "delta ");

  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressRewrite));
  EXPECT_TRUE(uploadedSelection("beta"));
  EXPECT_TRUE(holds(QStringLiteral("alpha BETA gamma"))) << last.toStdString();
  ASSERT_TRUE(TestKeyboard::run({"key", "ctrl+a"}));  // to the start of the line
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  EXPECT_TRUE(holds(QStringLiteral("delta alpha BETA gamma"))) << last.toStdString();
  ASSERT_TRUE(TestKeyboard::run({"type", "Q"}));
  EXPECT_TRUE(holds(QStringLiteral("delta Qalpha BETA gamma"))) << last.toStdString();
  EXPECT_TRUE(overlays.calls.filter(QStringLiteral("result")).isEmpty()) << overlays.calls.join(u'|').toStdString();
  EXPECT_FALSE(noted.chords.contains(KeyChord::controlInsert()));
}

// LXTerminal keeps Control+Shift+C and Control+Shift+V for itself (its
// Control+C interrupts the shell): a dictation at its prompt is typed once
// with its own paste key.
TEST_F(EditorsOnTheDesktop, InLxterminalADictationIsTypedOnceWithItsOwnPasteKey) {
  TerminalWindow terminal(TerminalWindow::Program::lxterminal);
  ASSERT_TRUE(terminal.start(QStringLiteral("brave new world")));
  ASSERT_TRUE(isInFront(terminal.processId()));
  answerNext("transcribe", "paste", "ls -la");
  ASSERT_TRUE(terminal.typeAtPrompt(QStringLiteral("echo ")));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  std::optional<QString> line;
  EXPECT_TRUE(waitUntil([&] { return (line = terminal.commandLine()) == QStringLiteral("echo ls -la"); }))
      << line.value_or(QStringLiteral("(no answer)")).toStdString();
  EXPECT_EQ(noted.chords.value(noted.chords.size() - 1), (KeyChord{KeyChord::Key::v, true}));
}

}  // namespace
