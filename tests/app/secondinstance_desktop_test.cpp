#include "app/rootwindow.h"

#include "awaittask.h"
#include "desktopprobe.h"
#include "fakeservice.h"
#include "testenvironment.h"
#include "testwindow.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

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

// Minimised, and again minimised on another workspace, the main window comes
// back in front on the workspace the user is on: through a second start and
// through the tray menu's first item.
TEST(SecondInstance, AMinimisedWindowComesBackInFrontWhereTheUserIsFromASecondStartAndTheTray) {
  REQUIRE_TEST_DESKTOP();
  FakeService service;
  Program first(service.origin());
  ASSERT_TRUE(waitUntil([&] { return activeWindowProcess() == first.process.processId(); }, std::chrono::seconds(10)));
  const QString window = output("xdotool", {"getactivewindow"});
  // Asked again until it stays so: the program's own activation at its start
  // may still be on its way.
  const auto minimiseOn = [&](int workspace) {
    return waitUntilSteady(
        [&] {
          const bool done = output("xprop", {"-id", window, "WM_STATE"}).contains("Iconic") &&
                            propertyNumbers(window, "_NET_WM_DESKTOP") == QList<int>{workspace};
          if (!done) {
            QProcess::execute("xdotool", {"set_desktop_for_window", window, QString::number(workspace)});
            QProcess::execute("xdotool", {"windowminimize", window});
          }
          return done;
        },
        std::chrono::milliseconds(300), std::chrono::seconds(10));
  };
  const auto backInFront = [&] {
    return waitUntil([&] {
      return output("xdotool", {"getactivewindow"}) == window &&
             output("xprop", {"-id", window, "WM_STATE"}).contains("Normal") &&
             propertyNumbers(window, "_NET_WM_DESKTOP") == QList<int>{0} &&
             propertyNumbers({}, "_NET_CURRENT_DESKTOP") == QList<int>{0};
    });
  };

  ASSERT_TRUE(minimiseOn(0));
  Program second(service.origin());
  ASSERT_TRUE(second.process.waitForFinished(10000));
  EXPECT_TRUE(backInFront());

  ASSERT_TRUE(minimiseOn(1));
  // The tray icon is the program's smallest window; its menu, once shown, takes the keys.
  const auto shown = [&] {
    const QString pid = QString::number(first.process.processId());
    return output("xdotool", {"search", "--onlyvisible", "--pid", pid}).split(u'\n');
  };
  const QStringList windows = shown();
  const auto icon = std::find_if(windows.begin(), windows.end(), [](const QString& id) {
    const QStringList size = output("xdotool", {"getwindowgeometry", id}).section("Geometry: ", 1).split(u'x');
    return size.size() == 2 && size[0].toInt() <= 48 && size[1].toInt() <= 48;
  });
  ASSERT_NE(icon, windows.end());
  QProcess::execute("xdotool", {"mousemove", "--window", *icon, "8", "8", "click", "1"});
  ASSERT_TRUE(waitUntil([&] { return shown().size() > windows.size(); }));
  QProcess::execute("xdotool", {"key", "Down", "Return"});
  EXPECT_TRUE(backInFront());
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
