// The selection against a real second application on the test desktop: read
// through AT-SPI or copied, put back, pasted into; with the real X11 services.
#include "pipeline/commandkeys.h"
#include "pipeline/selectionsnapshot.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/linux/qtwidgetelement.h"
#include "platform/virtualkeycodes.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11frontapplication.h"
#include "platform/x11/x11keyboardtap.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11synthetickeyboard.h"

#include "awaittask.h"
#include "testenvironment.h"
#include "testkeyboard.h"
#include "testwindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
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

TEST_F(SelectionOnTheDesktop, ACopyWaitsUntilTheUserLetsGoOfTheHotkey) {
  // The hotkey's key is still down when the request starts; while it is, the
  // server sends every key to the listener that grabbed it, not to the window.
  Accessibility::install(nullptr);
  constexpr quint16 kE = 14;
  X11KeyboardTap tap;
  bool hotkeyDown = false;
  ASSERT_TRUE(tap.start(
      [&](const KeyTapEvent& event) {
        hotkeyDown |= event.intercepted && event.type == KeyTapEvent::Type::keyDown && event.keyCode == kE;
        return true;
      },
      {KeyGrab{kE, VirtualKeyCodes::kOptionFlag, false}}));
  const auto letGoAnyway = qScopeGuard([] { TestKeyboard::run({"keyup", "e", "keyup", "alt"}); });
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "keydown", "e"}));
  ASSERT_TRUE(waitUntil([&] { return hotkeyDown; }));

  QProcess letGo;
  letGo.start(QStringLiteral("xdotool"), {"sleep", "0.2", "keyup", "e", "keyup", "alt"});
  ASSERT_TRUE(letGo.waitForStarted());
  const auto snapshot = SelectionSnapshot::captureViaCmdC();
  letGo.waitForFinished(5000);
  ASSERT_TRUE(snapshot) << window.lines().join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(snapshot->text, QStringLiteral("brave"));
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

TEST_F(SelectionOnTheDesktop, AnEmptyClipboardIsEmptyAgainAfterACopy) {
  Accessibility::install(nullptr);
  pasteboard.clearContents();
  ASSERT_EQ(pasteboard.itemCount(), 0);
  const auto snapshot = SelectionSnapshot::captureViaCmdC();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->text, QStringLiteral("brave"));
  EXPECT_EQ(pasteboard.itemCount(), 0);
  window.clearLines();
  ASSERT_TRUE(window.command(QStringLiteral("clipboard")));
  EXPECT_THAT(window.lines(), Contains(QStringLiteral("clipboard empty")));
}

TEST_F(SelectionOnTheDesktop, APasteLandsWhileTheUserStillHoldsAlt) {
  pasteboard.setString(QStringLiteral("pasted"));
  ASSERT_TRUE(TestKeyboard::run({QStringLiteral("keydown"), QStringLiteral("alt")}));
  const bool sent = postCommandV(qint32(window.processId()));
  const bool landed = window.waitForLine(QStringLiteral("text hello pasted new world"));
  TestKeyboard::run({QStringLiteral("keyup"), QStringLiteral("alt")});
  EXPECT_TRUE(sent);
  EXPECT_TRUE(landed) << window.lines().join(QLatin1Char('\n')).toStdString();
}

TEST_F(SelectionOnTheDesktop, NothingIsTypedWhileAnotherProcessOwnsTheFocus) {
  QLineEdit ours;
  ours.setText(QStringLiteral("ours"));
  ours.show();
  ours.activateWindow();
  ASSERT_TRUE(waitUntil([&] { return frontPid() == QCoreApplication::applicationPid() && ours.hasFocus(); }));
  window.clearLines();

  EXPECT_FALSE(postCommandV(qint32(window.processId())));
  EXPECT_FALSE(postCommandC(qint32(window.processId())));
  waitUntil([] { return false; }, 300ms);
  EXPECT_THAT(keyPresses(), testing::IsEmpty());
  EXPECT_EQ(ours.text(), QStringLiteral("ours"));
}

TEST_F(SelectionOnTheDesktop, NoCopyKeysGoIntoOurOwnWindow) {
  // A list copies its current row on Control+C; typed into this program while
  // the capture waits, the keys would be handled only after it and replace the
  // user's clipboard.
  QListWidget ours;
  ours.addItem(QStringLiteral("a row of ours"));
  ours.setCurrentRow(0);
  ours.show();
  ours.activateWindow();
  ASSERT_TRUE(waitUntil([&] { return frontPid() == QCoreApplication::applicationPid() && ours.hasFocus(); }));
  pasteboard.setString(QStringLiteral("the user's words"));

  EXPECT_FALSE(SelectionSnapshot::capture());
  waitUntil([] { return false; }, 300ms);  // any key typed would be handled by now
  EXPECT_EQ(pasteboard.string(), QStringLiteral("the user's words"));
}

TEST_F(SelectionOnTheDesktop, OurOwnWindowIsReadFromItsWidget) {
  QLineEdit ours;
  ours.setText(QStringLiteral("our own words"));
  ours.show();
  ours.activateWindow();
  ASSERT_TRUE(waitUntil([&] { return QtWidgetElement::thisProcessIsInFront() && ours.hasFocus(); }));
  ours.setSelection(4, 3);

  const auto snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->source, SelectionSnapshot::Source::axSystemWide);
  EXPECT_EQ(snapshot->text, QStringLiteral("own"));
  EXPECT_TRUE(std::dynamic_pointer_cast<QtWidgetElement>(snapshot->element));
  ours.deselect();
  EXPECT_TRUE(SelectionSnapshot::restore(*snapshot));
  EXPECT_EQ(ours.selectedText(), QStringLiteral("own"));
}

}  // namespace
