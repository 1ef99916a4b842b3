// The selection against a real second application on the test desktop: read
// through AT-SPI or copied, put back, pasted into; with the real X11 services.
#include "pipeline/commandkeys.h"
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

#include <QApplication>
#include <QRegularExpression>
#include <QScopeGuard>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::Not;

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
    ASSERT_TRUE(window.start(windowKind()));
    ASSERT_TRUE(window.command(QStringLiteral("text hello brave new world")));
    ASSERT_TRUE(window.command(QStringLiteral("select 6 11")));
    ASSERT_TRUE(waitUntil([&] { return frontPid() == window.processId(); }));
  }

  void TearDown() override {
    Accessibility::install(nullptr);
    Pasteboard::install(nullptr);
    SyntheticKeyboard::install(nullptr);
    FrontApplication::install(nullptr);
    AccessibilityTrust::install(nullptr);
    resetPipelineState();
  }

  virtual TestWindow::Kind windowKind() const { return TestWindow::Kind::qt; }

  qint64 frontPid() {
    const auto app = front.frontmost();
    return app ? app->pid : -1;
  }

  // The window's report of its selection, as "selection <start> <end>".
  QString windowSelection() {
    window.clearLines();
    if (!window.command(QStringLiteral("state"))) return {};
    for (const QString& line : window.lines()) {
      if (line.startsWith(QStringLiteral("selection "))) return line;
    }
    return {};
  }

  QStringList keyPresses() const { return window.lines().filter(QStringLiteral("key press")); }

  // The user holds Alt+E, which `tap` grabs as the listener does: while the
  // key is down the server sends every key to the tap, not to the window.
  void holdAltE(X11KeyboardTap& tap) {
    constexpr quint16 kE = 14;
    auto hotkeyDown = std::make_shared<bool>(false);
    ASSERT_TRUE(tap.start(
        [hotkeyDown](const KeyTapEvent& event) {
          *hotkeyDown |= event.intercepted && event.type == KeyTapEvent::Type::keyDown && event.keyCode == kE;
          return true;
        },
        {KeyGrab{kE, VirtualKeyCodes::kOptionFlag, false}}));
    window.clearLines();
    ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "keydown", "e"}));
    ASSERT_TRUE(waitUntil([&] { return *hotkeyDown; }));
  }

  X11AccessibilityTrust trust;
  X11FrontApplication front;
  X11SyntheticKeyboard keyboard;
  X11Pasteboard pasteboard;
  AtspiAccessibility accessibility;
  TestWindow window;
};

TEST_F(SelectionOnTheDesktop, ReadsTheSelectionThroughAccessibilityAndPutsItBack) {
  const auto app = front.frontmost();
  ASSERT_TRUE(app);
  EXPECT_EQ(app->windowInstance, QStringLiteral("veltrine-testwindow"));
  window.clearLines();

  const auto snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot);
  EXPECT_NE(snapshot->source, SelectionSnapshot::Source::cmdCopy);
  EXPECT_EQ(snapshot->text, QStringLiteral("brave"));
  EXPECT_EQ(snapshot->range, (AXTextRange{6, 5}));
  EXPECT_EQ(snapshot->isEditable, true);
  EXPECT_THAT(keyPresses(), testing::IsEmpty());  // no copy was needed

  ASSERT_TRUE(window.command(QStringLiteral("select 0 0")));
  EXPECT_TRUE(SelectionSnapshot::restore(*snapshot));
  EXPECT_EQ(windowSelection(), QStringLiteral("selection 6 11"));

  ASSERT_TRUE(window.command(QStringLiteral("readonly on")));
  const auto readOnly = SelectionSnapshot::capture();
  ASSERT_TRUE(readOnly);
  EXPECT_EQ(readOnly->isEditable, false);
}

TEST_F(SelectionOnTheDesktop, CopiesWhenAccessibilityIsOffAndPutsEveryClipboardFormatBack) {
  Accessibility::install(nullptr);  // no accessibility service at all
  const QString png = QString::fromLatin1(QByteArray("\x89PNG\r\n\x1a\n-picture-").toBase64());
  const QString custom = QString::fromLatin1(QByteArray("private \x01\x02 bytes").toBase64());
  ASSERT_TRUE(window.command("setclipboard image/png " + png + " application/x-veltrine-test " + custom));
  window.clearLines();

  const auto snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->source, SelectionSnapshot::Source::cmdCopy);
  EXPECT_EQ(snapshot->text, QStringLiteral("brave"));
  EXPECT_EQ(snapshot->range, (AXTextRange{-1, -1}));
  EXPECT_FALSE(snapshot->isEditable);  // nobody could tell
  EXPECT_FALSE(SelectionSnapshot::restore(*snapshot));
  EXPECT_TRUE(waitUntil([&] { return !keyPresses().isEmpty(); }));  // the copy reached the window

  window.clearLines();
  ASSERT_TRUE(window.command(QStringLiteral("clipboard")));
  const QStringList clipboard = window.lines();
  EXPECT_THAT(clipboard, Contains("clipboard image/png " + png));
  EXPECT_THAT(clipboard, Contains("clipboard application/x-veltrine-test " + custom));
  EXPECT_TRUE(clipboard.filter(QStringLiteral("clipboard text/plain")).isEmpty());  // the copied word is gone
}

// A request starts while its hotkey is still down, and our grab then holds
// the keyboard: GTK (unlike Qt) reports its field unfocused until the key goes
// up. The read must still find the field the user selected in, instead of
// typing a copy command into it (into a terminal, whose read-only state only
// accessibility tells).
class SelectionUnderTheHotkey : public SelectionOnTheDesktop,
                                public ::testing::WithParamInterface<TestWindow::Kind> {
 protected:
  TestWindow::Kind windowKind() const override { return GetParam(); }
};

TEST_P(SelectionUnderTheHotkey, IsReadThroughAccessibilityWhileTheKeyIsHeld) {
  const bool terminal = GetParam() == TestWindow::Kind::gtkTerminal;
  X11KeyboardTap tap;
  const auto letGo = qScopeGuard([] { TestKeyboard::run({"keyup", "e", "keyup", "alt"}); });
  ASSERT_NO_FATAL_FAILURE(holdAltE(tap));
  if (GetParam() != TestWindow::Kind::qt) {
    ASSERT_TRUE(window.waitForLine(QStringLiteral("focus out")));
  }

  const auto snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot);
  EXPECT_NE(snapshot->source, SelectionSnapshot::Source::cmdCopy);
  // A terminal selects all it shows.
  EXPECT_EQ(snapshot->text.trimmed(), terminal ? QStringLiteral("hello brave new world") : QStringLiteral("brave"));
  EXPECT_EQ(snapshot->isEditable, !terminal);
  EXPECT_THAT(keyPresses().filter(QRegularExpression(QStringLiteral("^key press (99|118) "))), testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Toolkits, SelectionUnderTheHotkey,
                         ::testing::Values(TestWindow::Kind::qt, TestWindow::Kind::gtkEditor,
                                           TestWindow::Kind::gtkTerminal),
                         [](const auto& info) {
                           switch (info.param) {
                             case TestWindow::Kind::qt: return "Qt";
                             case TestWindow::Kind::gtkEditor: return "GtkEditor";
                             case TestWindow::Kind::gtkTerminal: return "VteTerminal";
                           }
                           return "";
                         });

TEST_F(SelectionOnTheDesktop, APasteLandsWhileTheUserStillHoldsAlt) {
  pasteboard.setString(QStringLiteral("pasted"));
  ASSERT_TRUE(TestKeyboard::run({QStringLiteral("keydown"), QStringLiteral("alt")}));
  const bool sent = postCommandV(qint32(window.processId()));
  const bool landed = window.waitForLine(QStringLiteral("text hello pasted new world"));
  TestKeyboard::run({QStringLiteral("keyup"), QStringLiteral("alt")});
  EXPECT_TRUE(sent);
  EXPECT_TRUE(landed) << window.lines().join(QLatin1Char('\n')).toStdString();
}

}  // namespace
