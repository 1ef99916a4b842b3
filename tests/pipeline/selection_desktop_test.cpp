// The selection in a real second application on the test desktop, read while
// the user still holds the hotkey: our grab then holds the keyboard, and GTK
// (unlike Qt) reports its field unfocused until the key goes up. The read must
// still find the field the user selected in, instead of typing a copy command
// into it (into a terminal, whose read-only state only accessibility tells).
// And only the application in front is read: never a field in a window behind
// it that still calls itself focused.
#include "pipeline/selectionsnapshot.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/virtualkeycodes.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11keyboardtap.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11synthetickeyboard.h"

#include "awaittask.h"
#include "pipelinestate.h"
#include "testenvironment.h"
#include "testkeyboard.h"
#include "testwindow.h"
#include "sandboxbusproxy.h"
#include "xtermwindow.h"

#include <QElapsedTimer>
#include <gmock/gmock.h>
#include <QRegularExpression>
#include <QScopeGuard>

namespace {

// The program's desktop parts, the accessibility registry running.
class SelectionOnTheDesktop {
 protected:
  void install() {
    resetPipelineState();
    AccessibilityTrust::install(&trust);
    FrontApplication::install(&front);
    SyntheticKeyboard::install(&keyboard);
    Pasteboard::install(&pasteboard);
    Accessibility::install(&accessibility);
    accessibility.start();  // before the windows take the focus, as in the program
  }
  void uninstall() {
    Accessibility::install(nullptr);
    Pasteboard::install(nullptr);
    SyntheticKeyboard::install(nullptr);
    FrontApplication::install(nullptr);
    AccessibilityTrust::install(nullptr);
    resetPipelineState();
  }

  // Starts `window` with "brave" selected in "hello brave new world" and
  // waits until it is in front.
  bool startInFront(TestWindow& window, TestWindow::Kind kind) {
    return window.start(kind) && window.command(QStringLiteral("text hello brave new world")) &&
           window.command(QStringLiteral("select 6 11")) && isInFront(window.processId());
  }
  bool isInFront(qint64 pid) {
    return waitUntil([&] { return front.frontmost() && front.frontmost()->pid == pid; });
  }

  X11AccessibilityTrust trust;
  X11FrontApplication front;
  X11SyntheticKeyboard keyboard;
  X11Pasteboard pasteboard;
  AtspiAccessibility accessibility;
};

class SelectionUnderTheHotkey : public ::testing::TestWithParam<TestWindow::Kind>, protected SelectionOnTheDesktop {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    install();
    ASSERT_TRUE(startInFront(window, GetParam()));
  }
  void TearDown() override { uninstall(); }

  TestWindow window;
};

TEST_P(SelectionUnderTheHotkey, IsReadThroughAccessibilityWhileTheKeyIsHeld) {
  const bool terminal = GetParam() == TestWindow::Kind::gtkTerminal;
  // The user holds Alt+E, which the tap grabs as the listener does.
  constexpr quint16 kE = 14;
  X11KeyboardTap tap;
  bool hotkeyDown = false;
  ASSERT_TRUE(tap.start(
      [&](const KeyTapEvent& event) {
        hotkeyDown |= event.intercepted && event.type == KeyTapEvent::Type::keyDown && event.keyCode == kE;
        return true;
      },
      {KeyGrab{kE, VirtualKeyCodes::kOptionFlag, false}}));
  const auto letGo = qScopeGuard([] { TestKeyboard::run({"keyup", "e", "keyup", "alt"}); });
  window.clearLines();
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "keydown", "e"}));
  ASSERT_TRUE(waitUntil([&] { return hotkeyDown; }));
  if (GetParam() != TestWindow::Kind::qt) {
    ASSERT_TRUE(window.waitForLine(QStringLiteral("focus out")));
  }

  const auto snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot);
  EXPECT_NE(snapshot->source, SelectionSnapshot::Source::cmdCopy);
  // A terminal selects all it shows.
  EXPECT_EQ(snapshot->text.trimmed(), terminal ? QStringLiteral("hello brave new world") : QStringLiteral("brave"));
  EXPECT_EQ(snapshot->isEditable, !terminal);
  EXPECT_TRUE(window.lines().filter(QRegularExpression(QStringLiteral("^key press (99|118) "))).isEmpty());
}

// "brave" selected in a Qt window, which then goes behind another
// application. For a moment after that (about 0.1 s) its field still calls
// itself focused and its window active.
class SelectionOfTheApplicationInFront : public ::testing::Test, protected SelectionOnTheDesktop {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    install();
    ASSERT_TRUE(startInFront(behind, TestWindow::Kind::qt));
  }
  void TearDown() override { uninstall(); }

  // Reads the way a request does, again and again for a while from the
  // moment the other application came in front; what came from accessibility.
  static QStringList readThroughAccessibility(const RunningApplication& inFront) {
    QStringList read;
    QElapsedTimer since;
    since.start();
    while (since.elapsed() < 300) {
      for (const auto& snapshot : {SelectionSnapshot::captureSystemWide(), SelectionSnapshot::captureApplication()}) {
        if (snapshot) read << snapshot->text;
      }
      if (SelectionSnapshot::cmdCopyIsEditable(inFront)) read << QStringLiteral("(editability)");
      const QString diagnostic = awaitTask(SelectionSnapshot::selectionDiag(QStringLiteral("probe")));
      if (diagnostic.contains(QStringLiteral("role="))) read << diagnostic;
    }
    return read;
  }

  // A GTK editor with `variable` set in its environment, "two" selected in
  // "one two three", in front.
  bool startEditorInFront(TestWindow& editor, const QString& variable, const QString& value) {
    editor.setEnvironment(variable, value);
    return editor.start(TestWindow::Kind::gtkEditor) && editor.command(QStringLiteral("text one two three")) &&
           editor.command(QStringLiteral("select 4 7")) && isInFront(editor.processId());
  }

  TestWindow behind;
};

TEST_F(SelectionOfTheApplicationInFront, NothingOfAFieldBehindXtermIsRead) {
  XtermWindow xterm;
  ASSERT_TRUE(xterm.start(QStringLiteral("brave new world")));
  ASSERT_TRUE(isInFront(xterm.processId()));
  const QStringList read = readThroughAccessibility(*front.frontmost());
  EXPECT_TRUE(read.isEmpty()) << read.join(u'\n').toStdString();
}

// An application that does not speak AT-SPI (here GTK with its bridge off):
// what is selected in it is copied, at the press, not read from the field
// behind it.
TEST_F(SelectionOfTheApplicationInFront, AnApplicationWithoutAccessibilityIsAskedToCopy) {
  TestWindow inFront;
  ASSERT_TRUE(startEditorInFront(inFront, QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1")));
  const auto snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->text, QStringLiteral("two"));
  EXPECT_EQ(snapshot->source, SelectionSnapshot::Source::cmdCopy);
  EXPECT_EQ(snapshot->isEditable, std::nullopt);
}

// A sandboxed application reaches the bus through a proxy, so no process
// matches its window's: its field is read while its window is the active one,
// and no longer once another application is in front.
TEST_F(SelectionOfTheApplicationInFront, OfASandboxedApplicationIsReadWhileItsWindowIsActive) {
  SandboxBusProxy proxy;
  ASSERT_TRUE(proxy.start());
  TestWindow sandboxed;
  ASSERT_TRUE(startEditorInFront(sandboxed, QStringLiteral("AT_SPI_BUS_ADDRESS"), proxy.address()));
  std::optional<SelectionSnapshot> snapshot;
  EXPECT_TRUE(waitUntil([&] { return (snapshot = SelectionSnapshot::captureSystemWide()).has_value(); }));
  EXPECT_EQ(snapshot.value_or(SelectionSnapshot{}).text, QStringLiteral("two"));
  EXPECT_THAT(awaitTask(SelectionSnapshot::selectionDiag(QStringLiteral("probe"))).toStdString(),
              ::testing::HasSubstr("textLen=3"));

  XtermWindow xterm;
  ASSERT_TRUE(xterm.start(QStringLiteral("brave new world")));
  ASSERT_TRUE(isInFront(xterm.processId()));
  const QStringList read = readThroughAccessibility(*front.frontmost());
  EXPECT_TRUE(read.isEmpty()) << read.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Toolkits, SelectionUnderTheHotkey,
                         ::testing::Values(TestWindow::Kind::qt, TestWindow::Kind::gtkEditor, TestWindow::Kind::gtkTerminal),
                         [](const auto& info) {
                           return info.param == TestWindow::Kind::qt          ? "Qt"
                                  : info.param == TestWindow::Kind::gtkEditor ? "GtkEditor"
                                                                              : "VteTerminal";
                         });

}  // namespace
