#include "app/rootwindow.h"

#include "awaittask.h"
#include "fakeservice.h"
#include "testenvironment.h"
#include "testwindow.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The process owning the window that has the desktop's focus, or 0.
qint64 activeWindowProcess() {
  QProcess xdotool;
  xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow"), QStringLiteral("getwindowpid")});
  if (!xdotool.waitForFinished(5000) || xdotool.exitCode() != 0) return 0;
  return xdotool.readAllStandardOutput().trimmed().toLongLong();
}

// A copy of the program, started as the desktop would start it.
struct Program {
  explicit Program(const QUrl& service) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("VELTRINE_SERVICE_ORIGIN"), service.toString());
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral(VELTRINE_PROGRAM_PATH), {});
  }
  ~Program() {
    process.terminate();
    if (!process.waitForFinished(3000)) process.kill();
    process.waitForFinished(3000);
  }
  QProcess process;
};

TEST(SecondInstance, StartingTheProgramAgainBringsTheRunningWindowForward) {
  REQUIRE_TEST_DESKTOP();
  FakeService service;
  Program first(service.origin());
  ASSERT_TRUE(first.process.waitForStarted(5000));
  // The running copy shows its main window right after launch.
  ASSERT_TRUE(waitUntil([&] { return activeWindowProcess() == first.process.processId(); }, std::chrono::seconds(10)));
  TestWindow other;  // another application takes the focus
  ASSERT_TRUE(other.start());
  ASSERT_TRUE(waitUntil([&] { return activeWindowProcess() == other.processId(); }));

  // The new copy ends at once, and the running one comes to the front.
  Program second(service.origin());
  ASSERT_TRUE(second.process.waitForFinished(10000));
  EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.process.exitCode(), 0);
  EXPECT_TRUE(waitUntil([&] { return activeWindowProcess() == first.process.processId(); }));
  EXPECT_EQ(first.process.state(), QProcess::Running);
}

// The quit key ends the program from whichever of its windows has the focus,
// also once the main window is closed (which only hides it); once per press.
TEST(QuitCommand, QuitKeyWorksInEveryWindowAlsoWhileTheMainWindowIsClosed) {
  REQUIRE_TEST_DESKTOP();
  RootWindow window(RootWindow::Views{[] { return new QLabel(QStringLiteral("auth")); }, {}, {}});
  QSignalSpy quits(window.quitAction(), &QAction::triggered);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(quits.count(), 1);
  QWidget permissions;
  permissions.resize(200, 100);
  permissions.show();
  permissions.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&permissions));
  QTest::keyClick(&permissions, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(quits.count(), 2);
  window.hide();
  QTest::keyClick(&permissions, Qt::Key_Q, Qt::ControlModifier);
  QTest::keyClick(&permissions, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(quits.count(), 3);
}

}  // namespace
