// Which clicks cleared the highlight of another application, as the X server
// delivers them: a press on one of the program's own windows never counts as
// one, even when that window hid on it before the press was read and the
// pointer then lies over the other application.
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/x11primaryhighlightwatch.h"

#include "awaittask.h"
#include "testenvironment.h"
#include "testkeyboard.h"
#include "testwindow.h"
#include "windowgeometry.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

QString number(int value) { return QString::number(value); }

// Another application holds the highlight (it took PRIMARY last); a panel of
// ours floats over it, as the answer panel does over a terminal. The user
// presses on the panel, which hides at once; the program's event loop reads
// that press only afterwards, with the pointer over the other application.
// The highlight there is still shown. A press on the other application itself
// clears it.
TEST(X11PrimaryHighlightWatch, APressOnOurOwnWindowThatHidOnItIsNoClickInTheWindowBelow) {
  REQUIRE_TEST_DESKTOP();
  X11PrimaryHighlightWatch watch;
  TestWindow other;
  ASSERT_TRUE(other.start());
  RunningApplication app;
  app.pid = qint32(other.processId());
  const QRect window = windowGeometry();
  ASSERT_FALSE(window.isEmpty());
  const QPoint middle = window.center();
  X11Pasteboard primary(X11Pasteboard::Selection::primary);
  primary.setString(QStringLiteral("highlighted"));  // taken after every earlier press
  ASSERT_TRUE(waitUntil([&] { return watch.isShown(app); }));

  QWidget panel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
  panel.setAttribute(Qt::WA_ShowWithoutActivating);
  panel.setGeometry(middle.x() - 50, middle.y() - 50, 100, 100);
  panel.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  // The event loop is held while the press happens and the panel hides.
  ASSERT_TRUE(TestKeyboard::run({"mousemove", number(middle.x()), number(middle.y()), "mousedown", "1"}));
  panel.hide();
  QGuiApplication::sync();
  ASSERT_TRUE(TestKeyboard::run({"mouseup", "1"}));
  QTest::qWait(300);
  EXPECT_TRUE(watch.isShown(app));

  ASSERT_TRUE(TestKeyboard::run({"click", "1"}));
  EXPECT_TRUE(waitUntil([&] { return !watch.isShown(app); }));
  primary.clearContents();
}

}  // namespace
