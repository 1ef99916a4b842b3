// The selection in a real second application on the test desktop, read while
// the user still holds the hotkey: our grab then holds the keyboard, and GTK
// (unlike Qt) reports its field unfocused until the key goes up. The read must
// still find the field the user selected in, instead of typing a copy command
// into it (into a terminal, whose read-only state only accessibility tells).
// And only the application in front is read, never a field behind it.
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
#include "terminalwindow.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopeGuard>

namespace {

class SelectionOnTheDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    resetPipelineState();
    AccessibilityTrust::install(&trust);
    FrontApplication::install(&front);
    SyntheticKeyboard::install(&keyboard);
    Pasteboard::install(&pasteboard);
    Accessibility::install(&accessibility);
    accessibility.start();  // before the window takes the focus, as in the program
    window.setSandboxed(sandboxed());
    ASSERT_TRUE(window.start(kind()));
    ASSERT_TRUE(window.command(QStringLiteral("text hello brave new world")));
    ASSERT_TRUE(window.command(QStringLiteral("select 6 11")));
    // A sandboxed window names its process by the sandbox's own numbering; the
    // desktop still knows the real one.
    ASSERT_TRUE(isInFront(window.applicationProcessId()));
  }
  void TearDown() override {
    Accessibility::install(nullptr);
    Pasteboard::install(nullptr);
    SyntheticKeyboard::install(nullptr);
    FrontApplication::install(nullptr);
    AccessibilityTrust::install(nullptr);
    resetPipelineState();
  }
  virtual TestWindow::Kind kind() const { return TestWindow::Kind::qt; }
  virtual bool sandboxed() const { return false; }
  bool isInFront(qint64 pid) {
    return waitUntilSteady([&] { return front.frontmost() && front.frontmost()->pid == pid; },
                           std::chrono::milliseconds(150));
  }

  X11AccessibilityTrust trust;
  X11FrontApplication front;
  X11SyntheticKeyboard keyboard;
  X11Pasteboard pasteboard;
  AtspiAccessibility accessibility;
  TestWindow window;
};

struct Application {
  TestWindow::Kind kind;
  bool sandboxed;
  const char* name;
};
void PrintTo(const Application& application, std::ostream* out) { *out << application.name; }

class SelectionUnderTheHotkey : public SelectionOnTheDesktop, public ::testing::WithParamInterface<Application> {
 protected:
  TestWindow::Kind kind() const override { return GetParam().kind; }
  bool sandboxed() const override { return GetParam().sandboxed; }
};

TEST_P(SelectionUnderTheHotkey, IsReadThroughAccessibilityWhileTheKeyIsHeld) {
  const bool terminal = kind() == TestWindow::Kind::gtkTerminal;
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
  if (kind() != TestWindow::Kind::qt) {
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

// "brave" selected in a Qt window, then other applications in front of it;
// for about 0.1 s after that its field still calls itself focused. A sandboxed
// editor reaches the bus through a proxy, whose process is not its window's.
// Behind xterm nothing of either field is read.
TEST_F(SelectionOnTheDesktop, OnlyTheApplicationInFrontIsRead) {
  TestWindow sandboxed;
  sandboxed.setSandboxed(true);
  ASSERT_TRUE(sandboxed.start(TestWindow::Kind::gtkEditor) && sandboxed.command(QStringLiteral("text one two three")) &&
              sandboxed.command(QStringLiteral("select 4 7")) && isInFront(sandboxed.applicationProcessId()));
  std::optional<SelectionSnapshot> snapshot;
  EXPECT_TRUE(waitUntil([&] { return (snapshot = SelectionSnapshot::captureSystemWide()).has_value(); }));
  EXPECT_EQ(snapshot.value_or(SelectionSnapshot{}).text, QStringLiteral("two"));

  TerminalWindow xterm(TerminalWindow::Program::xterm);
  ASSERT_TRUE(xterm.start(QStringLiteral("brave new world")));
  ASSERT_TRUE(isInFront(xterm.processId()));
  // Read the way a request does, again and again from the moment xterm came in front.
  QStringList read;
  QElapsedTimer since;
  since.start();
  while (since.elapsed() < 300) {
    for (const auto& found : {SelectionSnapshot::captureSystemWide(), SelectionSnapshot::captureApplication()}) {
      if (found) read << found->text;
    }
    if (SelectionSnapshot::cmdCopyIsEditable(*front.frontmost())) read << QStringLiteral("(editability)");
    const QString diagnostic = awaitTask(SelectionSnapshot::selectionDiag(QStringLiteral("probe")));
    if (diagnostic.contains(QStringLiteral("role="))) read << diagnostic;
  }
  EXPECT_TRUE(read.isEmpty()) << read.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Toolkits, SelectionUnderTheHotkey,
                         ::testing::Values(Application{TestWindow::Kind::qt, false, "Qt"},
                                           Application{TestWindow::Kind::gtkEditor, false, "GtkEditor"},
                                           Application{TestWindow::Kind::gtkTerminal, false, "VteTerminal"},
                                           Application{TestWindow::Kind::gtkEditor, true, "SandboxedGtkEditor"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
