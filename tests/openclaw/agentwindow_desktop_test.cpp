#include "awaittask.h"
#include "nofocusnewdesktop.h"
#include "openclawtest.h"
#include "platform/childprocess.h"
#include "platform/linux/tmuxterminaldriver.h"
#include "platform/x11/x11windowactivator.h"
#include "testenvironment.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>

#include <signal.h>

namespace {

using namespace std::chrono_literals;

QString run(const QString& program, const QStringList& arguments) {
  const ChildProcess::Result result =
      awaitTask(ChildProcess::run(QStandardPaths::findExecutable(program), arguments, 10s));
  return QString::fromUtf8(result.standardOutput).trimmed();
}
// The desktop as another X client sees it.
QString xdotool(const QStringList& arguments) { return run(QStringLiteral("xdotool"), arguments); }
QString activeWindow() { return xdotool({"getactivewindow"}); }

// Spoken commands in real terminal windows shown by tmux (xterm unless a test
// says otherwise), on a display of their own whose window manager leaves every
// new window behind the one in front: a window the user sees in front is there
// because the program brought it.
class AgentWindowTest : public OpenClawTest {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    OpenClawTest::SetUp();
    ASSERT_TRUE(desktop.start()) << desktop.failure().toStdString();
    // Every program the test starts, and xdotool, show on it.
    qputenv("DISPLAY", desktop.display().toUtf8());
    activator = std::make_unique<X11WindowActivator>(desktop.display().toUtf8());
    qputenv("SHELL", "/bin/sh");
    driver = std::make_unique<TmuxTerminalDriver>(TmuxTerminalDriver::Options{socket, emulator(), 20s});
    TerminalDriver::install(driver.get());
    WindowActivator::install(activator.get());
  }

  void TearDown() override {
    qputenv("DISPLAY", displayBefore);
    if (!driver) return;
    TerminalDriver::install(nullptr);
    WindowActivator::install(nullptr);
    run(QStringLiteral("tmux"), {QStringLiteral("-S"), socket, QStringLiteral("kill-server")});
    notes.kill();
    notes.waitForFinished();
    OpenClawTest::TearDown();
  }

  virtual TerminalEmulator emulator() {
    return {QStandardPaths::findExecutable(QStringLiteral("xterm")), {QStringLiteral("-e")}};
  }

  void say(const QString& command) {
    manager.handleVoiceCommand(command);
    ASSERT_TRUE(waitUntil([&] { return manager.isTerminalIdle(); }, 30s));
  }

  // tmux on the windows' server.
  QString tmux(const QStringList& arguments) {
    return run(QStringLiteral("tmux"), QStringList{QStringLiteral("-S"), socket} + arguments);
  }
  // tmux's own numbers of the open windows' sessions.
  QStringList sessionNumbers() {
    return tmux({QStringLiteral("list-sessions"), QStringLiteral("-F"), QStringLiteral("#{session_id}")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  QString screen(const QString& target) { return tmux({QStringLiteral("capture-pane"), QStringLiteral("-p"), QStringLiteral("-t"), target}); }
  // The X window that shows the terminal window `id`, once it carries its title.
  QString shownWindow(const QString& id) {
    QString found;
    const QString title = QRegularExpression::escape(TmuxTerminalDriver::windowTitle(id));
    waitUntil([&] { return !(found = xdotool({"search", "--name", title})).isEmpty(); }, 10s);
    return found;
  }

  // A window of the user's own (the "notes" xterm), in front.
  QString usersWindow() {
    notes.start(QStringLiteral("xterm"), {QStringLiteral("-title"), QStringLiteral("notes"), QStringLiteral("-e"),
                                          QStringLiteral("sleep"), QStringLiteral("600")});
    QString window;
    if (!waitUntil([&] { return !(window = xdotool({"search", "--name", "^notes$"})).isEmpty(); }, 10s)) return {};
    // Asked again until it is in front: a window found before the window manager took it on is not activated.
    return waitUntil([&] {
      if (activeWindow() == window) return true;
      xdotool({"windowactivate", window});
      return false;
    }, 10s) ? window : QString();
  }

  const QString socket = TestEnvironment::root() + QStringLiteral("/agent.tmux");
  const QByteArray displayBefore = qgetenv("DISPLAY");
  NoFocusNewDesktop desktop;
  std::unique_ptr<X11WindowActivator> activator;
  std::unique_ptr<TmuxTerminalDriver> driver;
  QProcess notes;
};

TEST_F(AgentWindowTest, TheRememberedWindowComesToTheFrontWithEachCommandWhereverItWas) {
  const QString users = usersWindow();
  ASSERT_FALSE(users.isEmpty());
  say(QStringLiteral("echo first"));
  const std::optional<QString> window = manager.openClawWindowId();
  ASSERT_TRUE(window);
  const QString title = TmuxTerminalDriver::windowTitle(*window);
  QString terminal;
  ASSERT_TRUE(waitUntil([&] {
    terminal = activeWindow();
    return !terminal.isEmpty() && xdotool({"getwindowname", terminal}).contains(title);
  }, 10s)) << "the new window is in front with its title";

  const std::function<void()> hide[] = {
      [&] { xdotool({"windowminimize", terminal}); },
      [&] { xdotool({"windowactivate", users}); },
      // Under a title no longer ours the window is known by the emulator's process.
      [&] {
        xdotool({"set_window", "--name", "notes", terminal});
        xdotool({"windowminimize", terminal});
      },
  };
  for (size_t i = 0; i < std::size(hide); ++i) {
    SCOPED_TRACE(i);
    hide[i]();
    ASSERT_TRUE(waitUntil([&] { return activeWindow() != terminal; }));
    say(QStringLiteral("echo again"));
    EXPECT_TRUE(waitUntil([&] { return activeWindow() == terminal; })) << "active: " << activeWindow().toStdString();
  }
  EXPECT_EQ(manager.openClawWindowId(), window) << "every command went to the one window";
}

// tmux numbers sessions from $0 again once its server has exited with its last session, so the window
// that a home-page button opens after the user closed the spoken-command window has that window's number.
TEST_F(AgentWindowTest, ASpokenCommandNeverGoesIntoAWindowOpenedAfterItsOwnClosed) {
  say(QStringLiteral("echo spoken-one"));
  const std::optional<QString> closed = manager.openClawWindowId();
  ASSERT_TRUE(closed);
  const QStringList numbers = sessionNumbers();
  ASSERT_EQ(numbers.size(), 1);
  const qint64 server = tmux({QStringLiteral("display-message"), QStringLiteral("-p"), QStringLiteral("#{pid}")}).toLongLong();
  ASSERT_GT(server, 0);
  const QString closedWindow = shownWindow(*closed);
  ASSERT_FALSE(closedWindow.isEmpty());
  xdotool({"windowkill", closedWindow});
  ASSERT_TRUE(waitUntil([&] { return sessionNumbers().isEmpty(); }, 10s)) << "the session ends with its window";
  // And tmux's server with it, which numbers the next session from $0 again.
  ASSERT_TRUE(waitUntil([&] { return ::kill(static_cast<pid_t>(server), 0) != 0; }, 10s)) << "the tmux server exits";

  manager.runInNewTerminalWindow(QStringLiteral("echo home-page"));
  ASSERT_TRUE(waitUntil([&] { return manager.isTerminalIdle(); }, 30s));
  ASSERT_EQ(sessionNumbers(), numbers) << "tmux gave the home page's window the closed one's number";
  const QString homePage = numbers.constFirst();
  ASSERT_TRUE(waitUntil([&] { return screen(homePage).contains(QStringLiteral("\nhome-page")); }, 10s));

  say(QStringLiteral("echo spoken-two"));
  const std::optional<QString> opened = manager.openClawWindowId();
  ASSERT_TRUE(opened);
  EXPECT_NE(*opened, *closed) << "a new window for spoken commands";
  EXPECT_EQ(sessionNumbers().size(), 2);
  const QString target = u'=' + TmuxTerminalDriver::sessionName(*opened) + u':';
  EXPECT_TRUE(waitUntil([&] { return screen(target).contains(QStringLiteral("\nspoken-two")); }, 10s)) << screen(target).toStdString();
  EXPECT_FALSE(screen(homePage).contains(QStringLiteral("spoken"))) << "the home page's window is untouched";
  const QString openedWindow = shownWindow(*opened);
  EXPECT_TRUE(waitUntil([&] { return activeWindow() == openedWindow; })) << "the new window is in front";
}

// urxvtd serves every window from one process, as gnome-terminal and konsole
// do: the agent's window shares it with a window of the user's own, and is
// told from it by the title tmux gives it.
class AgentWindowOfAOneProcessEmulator : public AgentWindowTest {
 protected:
  void SetUp() override {
    qputenv("RXVT_SOCKET", QFile::encodeName(TestEnvironment::root() + QStringLiteral("/urxvtd")));
    daemon.start(QStringLiteral("urxvtd"), {QStringLiteral("-q")});
    ASSERT_TRUE(daemon.waitForStarted());
    ASSERT_TRUE(waitUntil([] { return QFile::exists(qEnvironmentVariable("RXVT_SOCKET")); }));
    AgentWindowTest::SetUp();
  }
  void TearDown() override {
    AgentWindowTest::TearDown();
    daemon.kill();
    daemon.waitForFinished();
  }
  TerminalEmulator emulator() override {
    return {QStandardPaths::findExecutable(QStringLiteral("urxvtc")), {QStringLiteral("-e")}};
  }

  QProcess daemon;
};

TEST_F(AgentWindowOfAOneProcessEmulator, BringsTheAgentsWindowNotTheUsersOwn) {
  ASSERT_FALSE(run(QStringLiteral("urxvtc"), {"-title", "notes", "-e", "sleep", "600"}).contains("error"));
  QString users;
  ASSERT_TRUE(waitUntil([&] { return !(users = xdotool({"search", "--name", "^notes$"})).isEmpty(); }, 10s));
  say(QStringLiteral("echo first"));
  const QString title = TmuxTerminalDriver::windowTitle(manager.openClawWindowId().value_or(QString()));
  QString agents;
  ASSERT_TRUE(waitUntil([&] { return !(agents = xdotool({"search", "--name", QRegularExpression::escape(title)})).isEmpty(); }, 10s));
  ASSERT_EQ(xdotool({"getwindowpid", agents}), xdotool({"getwindowpid", users}));

  xdotool({"windowminimize", agents});
  xdotool({"windowactivate", users});
  ASSERT_TRUE(waitUntil([&] { return activeWindow() == users; }));
  say(QStringLiteral("echo again"));
  EXPECT_TRUE(waitUntil([&] { return activeWindow() == agents; })) << "active: " << activeWindow().toStdString();
}

}  // namespace
