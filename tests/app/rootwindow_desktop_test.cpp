#include "app/rootwindow.h"

#include "testenvironment.h"

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The quit key ends the program from whichever of its windows has the focus:
// the main window, another window beside it, and the other window still once
// the main window is closed (which only hides it). Each press quits once.
TEST(QuitCommand, QuitKeyWorksInEveryWindowAlsoWhileTheMainWindowIsClosed) {
  REQUIRE_TEST_DESKTOP();
  RootWindow window(RootWindow::Views{[] { return new QLabel(QStringLiteral("auth")); }, {}, {}});
  ASSERT_FALSE(window.quitAction()->shortcut().isEmpty());
  QSignalSpy quits(window.quitAction(), &QAction::triggered);

  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(quits.count(), 1);

  QWidget permissions;
  permissions.setWindowTitle(QStringLiteral("权限设置"));
  permissions.resize(200, 100);
  permissions.show();
  permissions.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&permissions));
  QTest::keyClick(&permissions, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(quits.count(), 2);

  window.hide();
  QTest::keyClick(&permissions, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(quits.count(), 3);
  QTest::keyClick(&permissions, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(quits.count(), 3);
}

}  // namespace
