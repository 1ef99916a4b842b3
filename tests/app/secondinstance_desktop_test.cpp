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

#include <algorithm>

namespace {

// The process owning the window that has the desktop's focus, or 0.
qint64 activeWindowProcess() {
  QProcess xdotool;
  xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow"), QStringLiteral("getwindowpid")});
  if (!xdotool.waitForFinished(5000) || xdotool.exitCode() != 0) return 0;
  return xdotool.readAllStandardOutput().trimmed().toLongLong();
}

// What a command prints, trimmed.
QString output(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(5000);
  return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// A property of a window (or of the root window), as xprop prints it.
QString property(const QString& window, const QString& name) {
  return output(QStringLiteral("xprop"),
                window.isEmpty() ? QStringList{QStringLiteral("-root"), name} : QStringList{QStringLiteral("-id"), window, name});
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
  ASSERT_TRUE(first.process.waitForStarted(5000));
  ASSERT_TRUE(waitUntil([&] { return activeWindowProcess() == first.process.processId(); }, std::chrono::seconds(10)));
  const QString window = output(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")});
  const auto minimiseOn = [&](const QString& workspace) {
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("set_desktop_for_window"), window, workspace});
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), window});
    return waitUntil([&] {
      return property(window, QStringLiteral("WM_STATE")).contains(QStringLiteral("Iconic")) &&
             property(window, QStringLiteral("_NET_WM_DESKTOP")).endsWith(QStringLiteral("= ") + workspace);
    });
  };
  const auto backInFront = [&] {
    return waitUntil([&] {
      const QString here = property({}, QStringLiteral("_NET_CURRENT_DESKTOP")).section(u'=', 1);
      return output(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}) == window &&
             property(window, QStringLiteral("WM_STATE")).contains(QStringLiteral("Normal")) &&
             property(window, QStringLiteral("_NET_WM_DESKTOP")).section(u'=', 1) == here && here.trimmed() == u'0';
    });
  };

  ASSERT_TRUE(minimiseOn(QStringLiteral("0")));
  Program second(service.origin());
  ASSERT_TRUE(second.process.waitForFinished(10000));
  EXPECT_TRUE(backInFront());

  ASSERT_TRUE(minimiseOn(QStringLiteral("1")));
  // The tray icon is the program's smallest window; a click opens its menu,
  // which takes the keys.
  const auto shownWindows = [&] {
    return output(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                              QStringLiteral("--pid"), QString::number(first.process.processId())})
        .split(u'\n', Qt::SkipEmptyParts);
  };
  const QStringList before = shownWindows();
  const auto icon = std::find_if(before.begin(), before.end(), [](const QString& id) {
    const QString geometry = output(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), id});
    const QStringList size = geometry.section(QStringLiteral("Geometry: "), 1).split(u'x');
    return size.size() == 2 && size[0].toInt() <= 48 && size[1].toInt() <= 48;
  });
  ASSERT_NE(icon, before.end());
  QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), *icon,
                                                QStringLiteral("8"), QStringLiteral("8"), QStringLiteral("click"),
                                                QStringLiteral("1")});
  ASSERT_TRUE(waitUntil([&] { return shownWindows().size() > before.size(); }));
  QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Return")});
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
