#include "app/rootwindow.h"
#include "mainwindow/permissionwindowmanager.h"

#include "awaittask.h"
#include "desktopprobe.h"
#include "fakeservice.h"
#include "testenvironment.h"
#include "testwindow.h"
#include "windowmanagerdesktop.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

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

// The window managers of the desktops a user runs the program on, each
// instance under the one it names, in a test desktop of its own whose tray
// is a panel along the top. i3 minimises no window.
class ShowRuleUnderEachWindowManager : public testing::TestWithParam<std::string> {};
constexpr char kPanel[] = "top:24";

// Minimised on the workspace the user left, the main window comes back in
// front on the workspace the user is on, and the user stays there: through a
// second start, the tray menu's first item and its permissions item, which
// shows the permission window there too, also one left open on the other
// workspace.
TEST_P(ShowRuleUnderEachWindowManager, AMinimisedWindowComesBackInFrontOnTheUsersWorkspace) {
  REQUIRE_TEST_DESKTOP();
  const QString manager = QString::fromStdString(GetParam());
  if (manager != WindowManagerDesktop::current() || qEnvironmentVariable("VELTRINE_TEST_DOCK") != kPanel) {
    qputenv("VELTRINE_TEST_DOCK", kPanel);
    const WindowManagerDesktop::Run run = WindowManagerDesktop::runCurrentTestUnder(manager);
    qunsetenv("VELTRINE_TEST_DOCK");
    EXPECT_TRUE(run.passed) << run.output.toStdString();
    return;
  }
  FakeService service;
  Program first(service.origin());
  ASSERT_TRUE(waitUntil([&] { return activeWindowProcess() == first.process.processId(); }, std::chrono::seconds(10)));
  const QString window = output("xdotool", {"getactivewindow"});
  ASSERT_TRUE(WindowManagerDesktop::showWorkspace(1));
  // The panel shows on every workspace, as a desktop's panel does.
  ASSERT_EQ(QProcess::execute("xdotool", {"search", "--classname", "^panel$", "set_desktop_for_window", "%1",
                                          QString::number(0xFFFFFFFFU)}),
            0);
  // The window minimised on `there`, the user on `here`; asked again until it
  // stays so: the program's own activation at its start may still be on its way.
  const auto minimisedOnWhileTheUserIsOn = [&](int there, int here) {
    return waitUntilSteady(
        [&] {
          const bool done = output("xprop", {"-id", window, "WM_STATE"}).contains("Iconic") &&
                            propertyNumbers(window, "_NET_WM_DESKTOP") == QList<int>{there} &&
                            propertyNumbers({}, "_NET_CURRENT_DESKTOP") == QList<int>{here};
          if (!done) {
            QProcess::execute("xdotool", {"set_desktop_for_window", window, QString::number(there)});
            QProcess::execute("xdotool", {"windowminimize", window});
            WindowManagerDesktop::showWorkspace(here);
          }
          return done;
        },
        std::chrono::milliseconds(500), std::chrono::seconds(10));
  };
  // Where everything is, for a failure's message.
  const auto describe = [&] {
    return QStringLiteral("window %1 on %2, user on %3, active %4")
        .arg(output("xprop", {"-id", window, "WM_STATE"}).section(u'\n', 1, 1).trimmed(),
             output("xprop", {"-id", window, "_NET_WM_DESKTOP"}), output("xprop", {"-root", "_NET_CURRENT_DESKTOP"}),
             output("xprop", {"-root", "_NET_ACTIVE_WINDOW"}))
        .toStdString();
  };
  // The main window shown on `here`, the user still there, and `active` (a
  // window of the program) in front; held, not only passed through.
  const auto shownOn = [&](int here, const std::function<QString()>& active) {
    return waitUntilSteady(
        [&] {
          return output("xprop", {"-id", window, "WM_STATE"}).contains("Normal") &&
                 propertyNumbers(window, "_NET_WM_DESKTOP") == QList<int>{here} &&
                 propertyNumbers({}, "_NET_CURRENT_DESKTOP") == QList<int>{here} &&
                 output("xdotool", {"getactivewindow"}) == active();
        },
        std::chrono::milliseconds(1000), std::chrono::seconds(10));
  };
  const auto mainWindow = [&] { return window; };

  // The tray icon is the program's smallest window; its menu, once shown, takes the keys.
  const auto shown = [&] {
    const QString pid = QString::number(first.process.processId());
    return output("xdotool", {"search", "--onlyvisible", "--pid", pid}).split(u'\n');
  };
  const auto chooseInTheTrayMenu = [&](const QStringList& keys) {
    const QStringList windows = shown();
    const auto icon = std::find_if(windows.begin(), windows.end(), [](const QString& id) {
      const QStringList size = output("xdotool", {"getwindowgeometry", id}).section("Geometry: ", 1).split(u'x');
      return size.size() == 2 && size[0].toInt() <= 48 && size[1].toInt() <= 48;
    });
    if (icon == windows.end()) return false;
    // A pointer that moves onto the icon and clicks at once opens nothing under KWin.
    QProcess::execute("xdotool", {"mousemove", "--window", *icon, "8", "8", "sleep", "0.3", "click", "1"});
    if (!waitUntil([&] { return shown().size() > windows.size(); })) return false;
    QProcess::execute("xdotool", QStringList{"key"} + keys);
    return true;
  };

  ASSERT_TRUE(minimisedOnWhileTheUserIsOn(0, 1));
  Program second(service.origin());
  ASSERT_TRUE(second.process.waitForFinished(10000));
  EXPECT_TRUE(shownOn(1, mainWindow)) << "a second start: " << describe();

  ASSERT_TRUE(minimisedOnWhileTheUserIsOn(1, 0));
  ASSERT_TRUE(chooseInTheTrayMenu({"Down", "Return"}));
  EXPECT_TRUE(shownOn(0, mainWindow)) << "the tray's first item: " << describe();

  ASSERT_TRUE(minimisedOnWhileTheUserIsOn(0, 1));
  ASSERT_TRUE(chooseInTheTrayMenu({"Down", "Down", "Return"}));
  const auto permissionWindow = [] {
    return output("xdotool", {"search", "--onlyvisible", "--name", "^" + PermissionWindowManager::kWindowTitle + "$"});
  };
  EXPECT_TRUE(shownOn(1, permissionWindow)) << "the tray's permissions item: " << describe();
  EXPECT_EQ(propertyNumbers(permissionWindow(), "_NET_WM_DESKTOP"), QList<int>{1});

  // The permission window left open there too.
  ASSERT_TRUE(minimisedOnWhileTheUserIsOn(1, 0));
  ASSERT_TRUE(chooseInTheTrayMenu({"Down", "Down", "Return"}));
  EXPECT_TRUE(shownOn(0, permissionWindow)) << "the permissions item again: " << describe();
  EXPECT_EQ(propertyNumbers(permissionWindow(), "_NET_WM_DESKTOP"), QList<int>{0});
}

INSTANTIATE_TEST_SUITE_P(, ShowRuleUnderEachWindowManager, testing::Values("openbox", "kwin", "mutter", "xfwm4"),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

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
