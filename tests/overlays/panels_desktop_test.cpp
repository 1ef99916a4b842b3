#include "core/appevents.h"
#include "core/clock.h"
#include "overlays/chipbutton.h"
#include "overlays/clarifyoverlaywindowcontroller.h"
#include "overlays/overlayclosebutton.h"
#include "overlays/overlaycontentview.h"
#include "overlays/overlaypanel.h"
#include "overlays/recordingoverlayview.h"
#include "overlays/recordingoverlaywindowcontroller.h"
#include "overlays/resultoverlayview.h"
#include "overlays/resultoverlaywindowcontroller.h"
#include "overlays/tipoverlayview.h"
#include "overlays/tipoverlaywindowcontroller.h"
#include "pipeline/selectionsnapshot.h"
#include "pipeline/textinserter.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11compositorpresence.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11panelkeyboard.h"
#include "platform/x11/x11panelwindowrole.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11synthetickeyboard.h"

#include "awaittask.h"
#include "desktopeditor.h"
#include "servergeometry.h"
#include "testcompositor.h"
#include "testenvironment.h"
#include "testkeyboard.h"
#include "testpointer.h"
#include "testwindow.h"
#include "windowmanagerdesktop.h"

#include <QAccessible>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include <algorithm>
#include <csignal>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  return process.waitForFinished(5000) ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

using TestPointer::click;
using TestPointer::drag;
bool click(const QWidget* widget) { return click(widget->mapToGlobal(widget->rect().center())); }

bool onScreen(QWidget* panel) { return panel && QTest::qWaitForWindowExposed(panel->windowHandle()); }

// The real desktop's window manager; every panel is hidden again afterwards.
class Panels : public ::testing::Test {
 protected:
  void SetUp() override {
    PanelWindowRole::install(&role_);
    PanelKeyboard::install(&keyboard_);
  }
  void TearDown() override {
    recording.hide();
    clarify.hide();
    result.hide();
    if (tip.panel()) tip.panel()->orderOut();
    PanelKeyboard::install(nullptr);
    PanelWindowRole::install(nullptr);
  }
  X11PanelWindowRole role_;
  X11PanelKeyboard keyboard_;
  RecordingOverlayWindowController& recording = RecordingOverlayWindowController::shared();
  ClarifyOverlayWindowController& clarify = ClarifyOverlayWindowController::shared();
  TipOverlayWindowController& tip = TipOverlayWindowController::shared();
  ResultOverlayWindowController& result = ResultOverlayWindowController::shared();
};

TEST_F(Panels, NeverHideTheUsersFieldFromTheNextRequest) {
  REQUIRE_TEST_DESKTOP();
  X11AccessibilityTrust trust;
  X11FrontApplication front;
  AtspiAccessibility accessibility;
  AccessibilityTrust::install(&trust);
  FrontApplication::install(&front);
  Accessibility::install(&accessibility);
  const auto uninstall = qScopeGuard([] {
    Accessibility::install(nullptr);
    FrontApplication::install(nullptr);
    AccessibilityTrust::install(nullptr);
  });
  accessibility.start();
  TestWindow window;
  ASSERT_TRUE(window.start(TestWindow::Kind::gtkEditor));
  ASSERT_TRUE(window.command(QStringLiteral("text hello brave new world")));
  ASSERT_TRUE(window.command(QStringLiteral("select 6 11")));

  // Each panel shown, clicked and closed, as after a request.
  recording.show();
  ASSERT_TRUE(onScreen(recording.panel()) && click(recording.panel()));
  recording.hide();
  tip.present(QStringLiteral("tip"));
  ASSERT_TRUE(onScreen(tip.panel()) && click(tip.panel()->findChild<TipOverlayView*>()->closeButton()));
  result.show(QStringLiteral("an answer"), false, false);
  QWidget* close = result.panel()->findChild<ResultOverlayView*>()->closeButton();
  ASSERT_TRUE(onScreen(result.panel()) && click(close));
  ASSERT_TRUE(waitUntil([&] { return !result.panel()->isVisible(); }));
  ASSERT_TRUE(waitUntil([&] { return SelectionSnapshot::captureSystemWide().has_value(); }));

  // Our own announcement of a focus, even after the user's field got the focus back, is never taken for the user's.
  QAccessibleEvent late(close, QAccessible::Focus);
  QAccessible::updateAccessibility(&late);
  ASSERT_TRUE(window.command(QStringLiteral("state")));
  const auto snapshot = SelectionSnapshot::captureSystemWide();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->text, QStringLiteral("brave"));
}

qulonglong hexAfter(const QString& text, const QString& label) {
  const qsizetype at = text.indexOf(label);
  return at < 0 ? 0 : text.mid(at + label.size()).trimmed().section(' ', 0, 0).toULongLong(nullptr, 16);
}

// The window on the root window that holds the window `id`: the frame the
// window manager put it in, or the window itself when it is not managed.
qulonglong topLevelOf(qulonglong id) {
  for (int depth = 0; id != 0 && depth < 8; ++depth) {
    const QString tree = run("xwininfo", {"-tree", "-id", QString::number(id)});
    const qulonglong parent = hexAfter(tree, "Parent window id:");
    if (parent == 0 || parent == hexAfter(tree, "Root window id:")) return id;
    id = parent;
  }
  return 0;
}

// True once `panel` is on screen (mapped, neither hidden nor minimised by the
// window manager) and stacked above the window `front`.
bool shownAbove(const OverlayPanel* panel, qulonglong front) {
  const QString id = QString::number(panel->winId());
  return waitUntil([&] {
    if (!run("xwininfo", {"-id", id}).contains("IsViewable") ||
        run("xprop", {"-id", id, "_NET_WM_STATE"}).contains("_NET_WM_STATE_HIDDEN")) {
      return false;
    }
    // The root window's children, topmost first.
    QList<qulonglong> order;
    const QString children = run("xwininfo", {"-root", "-children"});
    for (const QString& line : children.mid(children.indexOf("children:")).split('\n').mid(1)) {
      order << line.trimmed().section(' ', 0, 0).toULongLong(nullptr, 16);
    }
    const qsizetype above = order.indexOf(topLevelOf(panel->winId()));
    const qsizetype below = order.indexOf(topLevelOf(front));
    return above >= 0 && below >= 0 && above < below;
  });
}

// The window the window manager names active; 0 for none. (xfwm4 names a second window after it.)
qulonglong activeWindow() {
  return run("xprop", {"-root", "_NET_ACTIVE_WINDOW"}).section('#', 1).section(',', 0, 0).trimmed().toULongLong(nullptr, 16);
}

// The window of process `pid`, once it is mapped and in front as the window
// manager says, not only by the X focus that the window took itself: a window
// manager still starting when the window showed takes the focus afterwards and
// may leave it nowhere. Asked again until it is; 0 when it never was.
qulonglong bringToFront(qint64 pid) {
  qulonglong window = 0;
  if (!waitUntil([&] {  // mapped by the window manager
        const QString found = run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)});
        return (window = found.section('\n', 0, 0).trimmed().toULongLong()) != 0;
      }, std::chrono::seconds(20))) {
    return 0;
  }
  const bool inFront = waitUntil(
      [&] {
        if (activeWindow() == window) return true;
        TestKeyboard::run({"windowactivate", QString::number(window)});
        return false;
      },
      std::chrono::seconds(30));
  return inFront ? window : 0;
}

// What the window manager and the X server say of `panel`, for a failure's message.
std::string describe(const OverlayPanel* panel) {
  const QString id = QString::number(panel->winId());
  return (run("xprop", {"-id", id}) + run("xwininfo", {"-id", id}) + run("xwininfo", {"-root", "-children"})).toStdString();
}

// The window managers of the desktops a user runs the program on: each
// instance runs under the one it names, on this test desktop when it runs
// that one, else in a test desktop of its own.
class PanelsUnderEachWindowManager : public Panels, public ::testing::WithParamInterface<std::string> {};

// Whatever the state of the program's main window, every panel shows above
// the application in front at its own size and place, on every workspace, and
// the focus stays in that application when a panel shows, when the pointer
// enters it and when it is clicked anywhere but in the answer's text (below);
// its buttons work.
TEST_P(PanelsUnderEachWindowManager, ShowAboveTheApplicationInFrontOnEveryWorkspaceAndNeverTakeTheFocus) {
  REQUIRE_TEST_DESKTOP();
  const QString manager = QString::fromStdString(GetParam());
  if (manager != WindowManagerDesktop::current()) {
    const WindowManagerDesktop::Run other = WindowManagerDesktop::runCurrentTestUnder(manager);
    EXPECT_TRUE(other.passed) << other.output.toStdString();
    return;
  }
  QWidget mainWindow;
  mainWindow.setWindowTitle(QStringLiteral("Veltrine main window"));
  mainWindow.resize(400, 300);
  mainWindow.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
  TestWindow window;
  ASSERT_TRUE(window.start());
  const qulonglong frontWindow = bringToFront(window.processId());
  ASSERT_NE(frontWindow, 0u) << "the window manager names " << activeWindow() << " active";
  window.clearLines();  // a window manager still starting may have taken the focus from it and given it back
  X11FrontApplication front;
  const auto frontIsTheWindow = [&] {
    const auto app = front.frontmost();
    return app && qint64(app->pid) == window.processId();
  };
  ASSERT_TRUE(waitUntil(frontIsTheWindow));

  const QList<std::pair<const char*, std::function<void()>>> mainWindowStates{
      {"open", [] {}}, {"minimised", [&] { mainWindow.showMinimized(); }}, {"closed", [&] { mainWindow.hide(); }}};
  for (const auto& [state, enter] : mainWindowStates) {
    enter();
    // Each case starts with the window in front, however the window manager took the main window's change.
    ASSERT_TRUE(waitUntil([&] { return activeWindow() == frontWindow && frontIsTheWindow(); })) << state;
    recording.show();
    clarify.show(QStringLiteral("Which of the two files do you mean?"));
    tip.present(QStringLiteral("Credits are used up for this month."));
    result.show(QStringLiteral("# Answer\n\none two three four five six"), true, true);
    const std::vector<const OverlayPanel*> shown{recording.panel(), clarify.panel(), tip.panel(), result.panel()};
    for (size_t i = 0; i < shown.size(); ++i) {
      EXPECT_TRUE(shownAbove(shown[i], frontWindow))
          << "main window " << state << ", panel " << i << ":\n" << describe(shown[i]);
    }
    EXPECT_TRUE(frontIsTheWindow()) << "main window " << state;
    recording.hide();
    clarify.hide();
    result.hide();
    tip.panel()->orderOut();
  }

  // The main window closed, as it mostly is.
  recording.show();
  QSignalSpy dismissed(&AppEvents::shared(), &AppEvents::overlayDismissedDuringRecording);
  ASSERT_TRUE(shownAbove(recording.panel(), frontWindow)) << describe(recording.panel());
  ASSERT_TRUE(click(recording.view()->closeButton()));
  clarify.show(QStringLiteral("Which of the two files do you mean?"));
  tip.present(QStringLiteral("Credits are used up for this month."));
  result.show(QStringLiteral("# Answer\n\none two three four five six"), true, true);
  const QList<OverlayPanel*> panels{recording.panel(), clarify.panel(), tip.panel(), result.panel()};
  for (OverlayPanel* panel : panels) {
    ASSERT_TRUE(shownAbove(panel, frontWindow)) << describe(panel);
    // Where the panel put itself, at its own size: neither tiled nor moved.
    EXPECT_EQ(serverGeometry(panel), panel->geometry()) << describe(panel);
  }

  // The user clicks the indicator's and the tip's body, the result's pin, and
  // drags the panel by its background. (The answer stands at the top of the
  // screen, off the indicator and the tip, which it would cover.)
  result.panel()->move(result.panel()->x(), 0);
  const QRect before = result.panel()->geometry();
  const auto body = [](QWidget* panel, int left) { return panel->geometry().center() - QPoint(left, 0); };
  const std::vector<std::function<bool()>> clicks{
      [&] { return click(body(panels[0], 100)); }, [&] { return click(body(panels[2], 60)); },
      [&] { return click(result.panel()->findChild<ResultOverlayView*>()->pinButton()); },
      [&] { return drag(QPoint(before.center().x(), before.bottom() - 12), QPoint(-100, 100)); }};  // by the footer
  for (size_t i = 0; i < clicks.size(); ++i) {
    ASSERT_TRUE(clicks[i]());
    ASSERT_TRUE(window.command(QStringLiteral("state")));  // the click has reached the desktop
    // (Qt may still name the hidden main window focused for a while under KWin and awesome.)
    for (OverlayPanel* panel : panels) {
      EXPECT_FALSE(panel->isActiveWindow()) << "click " << i;
      EXPECT_NE(QGuiApplication::focusWindow(), panel->windowHandle()) << "click " << i;
    }
    const auto app = front.frontmost();
    EXPECT_EQ(app ? qint64(app->pid) : -1, window.processId()) << "click " << i;
  }
  EXPECT_TRUE(waitUntil([&] { return !result.viewModel().pinned(); }));
  EXPECT_TRUE(waitUntil([&] { return result.panel()->geometry().y() > before.y() + 60; }));  // dragged
  EXPECT_TRUE(waitUntil([&] { return dismissed.size() == 1; }));
  ASSERT_TRUE(TestKeyboard::run({"type", "still here"}));
  EXPECT_TRUE(window.waitForLine(QStringLiteral("text still here")));

  // The answer's copy button: the text on the clipboard, as the application reads it, and the panel gone.
  X11Pasteboard clipboard;
  Pasteboard::install(&clipboard);
  const auto uninstall = qScopeGuard([] { Pasteboard::install(nullptr); });
  ASSERT_TRUE(click(result.panel()->findChild<ResultOverlayView*>()->copyButton()));
  EXPECT_TRUE(waitUntil([&] { return !result.panel()->isVisible(); }));
  ASSERT_TRUE(window.command(QStringLiteral("clipboard")));
  const QString copied = QString::fromLatin1(QByteArray("# Answer\n\none two three four five six").toBase64());
  EXPECT_TRUE(window.lines().contains(QStringLiteral("clipboard text/plain ") + copied));
  ASSERT_TRUE(TestKeyboard::run({"type", " and here"}));
  EXPECT_TRUE(window.waitForLine(QStringLiteral("text still here and here")));
  EXPECT_FALSE(window.lines().contains(QStringLiteral("focus out")));

  // On another workspace, also when the panel was shown again at once while
  // the window manager was too busy to hear of it.
  const qint64 managerProcess = WindowManagerDesktop::currentProcessId();
  ASSERT_GT(managerProcess, 0);
  ASSERT_EQ(::kill(pid_t(managerProcess), SIGSTOP), 0);
  auto resume = qScopeGuard([&] { ::kill(pid_t(managerProcess), SIGCONT); });
  tip.panel()->orderOut();
  tip.present(QStringLiteral("tip again"));
  QCoreApplication::processEvents();
  ::kill(pid_t(managerProcess), SIGCONT);
  resume.dismiss();
  ASSERT_TRUE(WindowManagerDesktop::showWorkspace(1));
  ASSERT_TRUE(waitUntil([] { return run("xprop", {"-root", "_NET_CURRENT_DESKTOP"}).contains("= 1"); }));
  const QString id = QString::number(tip.panel()->winId());
  EXPECT_TRUE(waitUntil([&] { return run("xwininfo", {"-id", id}).contains("IsViewable"); }));
  WindowManagerDesktop::showWorkspace(0);
}

// The window's frame on the screen, as xdotool reads it.
QRect windowGeometry(qulonglong window) {
  const QString shown = run("xdotool", {"getwindowgeometry", QString::number(window)});
  const QStringList at = shown.section("Position:", 1).trimmed().section(' ', 0, 0).split(',');
  const QStringList size = shown.section("Geometry:", 1).trimmed().section('\n', 0, 0).split('x');
  if (at.size() != 2 || size.size() != 2) return {};
  return QRect(at[0].toInt(), at[1].toInt(), size[0].toInt(), size[1].toInt());
}

// The user works inside the answer, with a real editor in front: a word range
// dragged across in the answer's text is what a middle click pastes, and
// Control+C or Control+Insert copies it, since the panel has the keyboard
// while they work there; a click back into the editor gives the keyboard back
// there. The same after a dictation was pasted into the editor, which lends
// the clipboard and PRIMARY for the paste.
TEST_P(PanelsUnderEachWindowManager, CopyTheAnswersSelectedWordsOfferThemToAMiddleClickAndGiveTheKeyboardBack) {
  REQUIRE_TEST_DESKTOP();
  const QString manager = QString::fromStdString(GetParam());
  if (manager != WindowManagerDesktop::current()) {
    const WindowManagerDesktop::Run other = WindowManagerDesktop::runCurrentTestUnder(manager);
    EXPECT_TRUE(other.passed) << other.output.toStdString();
    return;
  }
  // The desktop as the program installs it at start-up.
  X11Pasteboard clipboard;
  X11Pasteboard primary(X11Pasteboard::Selection::primary);
  X11FrontApplication front;
  X11SyntheticKeyboard keyboard;
  X11AccessibilityTrust trust;
  Pasteboard::install(&clipboard);
  Pasteboard::installPrimarySelection(&primary);
  FrontApplication::install(&front);
  SyntheticKeyboard::install(&keyboard);
  AccessibilityTrust::install(&trust);
  const auto uninstall = qScopeGuard([] {
    AccessibilityTrust::install(nullptr);
    SyntheticKeyboard::install(nullptr);
    FrontApplication::install(nullptr);
    Pasteboard::installPrimarySelection(nullptr);
    Pasteboard::install(nullptr);
  });

  DesktopEditor editor(DesktopEditor::Program::mousepad);
  ASSERT_TRUE(editor.open(QStringLiteral("alpha")));
  const qulonglong editorWindow = bringToFront(editor.processId());
  ASSERT_NE(editorWindow, 0u) << "the window manager names " << activeWindow() << " active";
  // The editor's text near its bottom left corner; the panel stands in the screen's bottom right corner.
  const QRect editorFrame = windowGeometry(editorWindow);
  ASSERT_TRUE(editorFrame.isValid());
  const QPoint inEditor(editorFrame.left() + 40, editorFrame.bottom() - 80);
  const auto clickEditor = [&](int button) {
    return TestKeyboard::run({"mousemove", QString::number(inEditor.x()), QString::number(inEditor.y()), "click",
                              QString::number(button)});
  };
  // The document once it holds `words` `times` times, saved as the user saves
  // it (the last one saved when it never does within ten seconds: a paste the
  // editor asks this process for comes late on a busy machine).
  const auto document = [&](const QString& words, int times) {
    std::optional<QString> text;
    const QDeadlineTimer deadline(10000);
    do {
      text = editor.saveAndRead();
      if (text && text->count(words) == times) break;
      QTest::qWait(200);
    } while (!deadline.hasExpired());
    return text.value_or(QString());
  };

  clipboard.setString(QStringLiteral("earlier"));
  result.show(QStringLiteral("# Answer\n\none two three four five six"), true, true);
  ASSERT_TRUE(onScreen(result.panel()));
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  result.panel()->move(screen.right() + 1 - result.panel()->width(), screen.bottom() + 1 - result.panel()->height());
  ASSERT_FALSE(result.panel()->geometry().contains(inEditor)) << "the editor is at " << editorFrame.x();
  QTextBrowser* answer = result.panel()->findChild<QTextBrowser*>();
  ASSERT_NE(answer, nullptr);
  const auto selectInAnswer = [&](const QString& words) {
    return TestPointer::dragAcross(answer, words, [&] { return answer->textCursor().selectedText(); });
  };
  // The user selects words in the answer and copies them with `copyKey`; then clicks back into the
  // editor, types, pastes there with Control+V and pastes with a middle click.
  const auto copyAndPaste = [&](const QString& words, const QString& copyKey, const QString& typed) {
    ASSERT_TRUE(selectInAnswer(words));
    // The panel has the keyboard: the copy key reaches it.
    EXPECT_TRUE(waitUntil([&] { return result.panel()->isActiveWindow(); }));
    ASSERT_TRUE(TestKeyboard::run({"key", copyKey}));
    ASSERT_TRUE(clickEditor(1));
    // The editor has the keyboard again, where it was.
    EXPECT_TRUE(waitUntil([&] { return !result.panel()->isActiveWindow(); }));
    ASSERT_TRUE(TestKeyboard::run({"type", typed}));
    ASSERT_TRUE(TestKeyboard::run({"key", "ctrl+v"}));
    ASSERT_TRUE(clickEditor(2));
    const QString pasted = document(words, 2);
    EXPECT_EQ(pasted.count(words), 2) << "copied with " << copyKey.toStdString() << ": " << pasted.toStdString();
    EXPECT_EQ(pasted.count(typed), 1) << pasted.toStdString();
    const auto app = front.frontmost();
    EXPECT_EQ(app ? qint64(app->pid) : -1, editor.processId());
  };

  // Right after the start.
  ASSERT_NO_FATAL_FAILURE(
      copyAndPaste(QStringLiteral("two three"), QStringLiteral("ctrl+c"), QStringLiteral(" typed ")));

  // The editor's own selection comes and goes (GTK then gives PRIMARY up), and a dictation is pasted there.
  ASSERT_TRUE(TestKeyboard::run({"key", "shift+Home", "End"}));
  TextInserter inserter;
  ASSERT_TRUE(awaitTask(inserter.pasteText(QStringLiteral(" dictated "), qint32(editor.processId()))));
  EXPECT_EQ(document(QStringLiteral(" dictated "), 1).count(QStringLiteral(" dictated ")), 1);
  QTest::qWait(1500);  // PRIMARY, lent for the paste, comes back within a second when the editor does not read it
  ASSERT_NO_FATAL_FAILURE(
      copyAndPaste(QStringLiteral("four five"), QStringLiteral("ctrl+Insert"), QStringLiteral(" again ")));

  // Words selected once more, and the panel closed: typing goes to the editor.
  ASSERT_TRUE(selectInAnswer(QStringLiteral("three four five six")));
  EXPECT_TRUE(waitUntil([&] { return result.panel()->isActiveWindow(); }));
  ASSERT_TRUE(click(result.panel()->findChild<ResultOverlayView*>()->closeButton()));
  ASSERT_TRUE(waitUntil([&] { return !result.panel()->isVisible(); }));
  ASSERT_TRUE(TestKeyboard::run({"type", " closed "}));
  EXPECT_EQ(document(QStringLiteral(" closed "), 1).count(QStringLiteral(" closed ")), 1);

  // The same answer again (the same question asked twice): nothing of the
  // earlier selection is left, so a drag that begins inside the words selected
  // before selects (an old highlight would be dragged away instead, and the
  // program would hold the drag's selection, not PRIMARY). A middle click
  // pastes the new words.
  result.show(QStringLiteral("# Answer\n\none two three four five six"), true, true);
  ASSERT_TRUE(onScreen(result.panel()));
  result.panel()->move(screen.right() + 1 - result.panel()->width(), screen.bottom() + 1 - result.panel()->height());
  ASSERT_TRUE(selectInAnswer(QStringLiteral("five six"))) << answer->textCursor().selectedText().toStdString();
  ASSERT_TRUE(clickEditor(2));
  const QString pasted = document(QStringLiteral("five six"), 1);
  EXPECT_EQ(pasted.count(QStringLiteral("five six")), 1) << pasted.toStdString();
}

INSTANTIATE_TEST_SUITE_P(, PanelsUnderEachWindowManager,
                         ::testing::ValuesIn([] {
                           std::vector<std::string> names;
                           for (const QString& name : WindowManagerDesktop::all()) names.push_back(name.toStdString());
                           return names;
                         }()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

// The test desktop's X server (no compositor runs there), its desktop one known colour.
class PanelsWithoutACompositor : public Panels {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    Panels::SetUp();
    CompositorPresence::install(&compositor);
    run("xsetroot", {"-solid", desktop.name()});
    ASSERT_FALSE(compositor.isCompositing());
  }
  void TearDown() override {
    Panels::TearDown();
    CompositorPresence::install(nullptr);
    run("xsetroot", {"-def"});
  }

  // The pixels of `area` where the screen shows the desktop, as the X server composed it.
  int desktopPixels(const QRect& area) const {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QImage image = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    int pixels = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) pixels += (image.pixel(x, y) | 0xff000000) == desktop.rgb();
    }
    return pixels;
  }
  // True once the screen shows `panel`'s card drawn, the desktop at its rounded corners alone (`cut`)
  // or nowhere. The card's place is read each time: the window manager may still move the panel.
  bool shows(const OverlayPanel* panel, bool cut) const {
    return waitUntil([&] {
      // The clarifying card leaves its panel's top and bottom clear.
      const auto* view = qobject_cast<const OverlayContentView*>(panel->contentView());
      const QRect card = view->outline().boundingRect().toRect().translated(view->mapToGlobal(QPoint()));
      const int pixels = desktopPixels(card);
      return cut ? pixels > 0 && pixels < card.width() * card.height() / 20 : pixels == 0;
    });
  }

  X11CompositorPresence compositor;
  const QColor desktop{0x30, 0x60, 0xa0};
};

// The desktop shows at each panel's rounded corners, not black squares; a
// compositor that starts gets plain rectangles, and when it ends the corners
// are cut again.
TEST_F(PanelsWithoutACompositor, ShowTheDesktopAtEachPanelsRoundedCornersUntilACompositorStarts) {
  // The panels overlap where they stand: each is looked at alone.
  const std::vector<std::function<OverlayPanel*()>> panels{
      [&] { return recording.show(), recording.panel(); },
      [&] { return clarify.show(QStringLiteral("Which one?")), clarify.panel(); },
      [&] { return tip.present(QStringLiteral("tip")), tip.panel(); },
      [&] { return result.show(QStringLiteral("an answer"), false, false), result.panel(); },
      [&] { return result.show(QStringLiteral("# a longer answer\n\ntwo lines"), true, false), result.panel(); }};
  const auto cornersShow = [&](bool cut) {
    for (size_t i = 0; i < panels.size(); ++i) {
      OverlayPanel* panel = panels[i]();
      ASSERT_TRUE(onScreen(panel));
      EXPECT_TRUE(shows(panel, cut)) << "panel " << i;
      panel->orderOut();
    }
  };
  cornersShow(true);
  TestCompositor other;
  ASSERT_TRUE(other.start());
  ASSERT_TRUE(waitUntil([&] { return compositor.isCompositing(); }));
  cornersShow(false);  // nothing composes here: the window's clear corners show
  other.stop();
  ASSERT_TRUE(waitUntil([&] { return !compositor.isCompositing(); }));
  cornersShow(true);
}

// The tip's opacity does not show here: it dissolves into the desktop step by
// step instead, and is whole again when presented midway.
TEST_F(PanelsWithoutACompositor, TheTipDissolvesIntoTheDesktop) {
  const auto restore = qScopeGuard([] { Clock::setTimeScaleForTesting(1.0); });
  Clock::setTimeScaleForTesting(20);  // the fade's steps come about 0.4 s apart
  tip.present(QStringLiteral("tip"));
  ASSERT_TRUE(onScreen(tip.panel()) && shows(tip.panel(), true));
  const auto shown = [&] { return desktopPixels(tip.panel()->geometry()); };
  const int all = tip.panel()->width() * tip.panel()->height();
  const int corners = shown();

  tip.dismiss();
  std::vector<int> steps{corners};
  ASSERT_TRUE(waitUntil([&] {
    if (const int now = shown(); now != steps.back()) steps.push_back(now);
    return steps.back() > all / 4;
  }));
  EXPECT_GE(steps.size(), 4u);
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end())) << testing::PrintToString(steps);

  ASSERT_TRUE(tip.isFading());
  tip.present(QStringLiteral("again"));
  EXPECT_TRUE(waitUntil([&] { return shown() == corners; }));
}

}  // namespace
