#include "awaittask.h"
#include "openclawtest.h"
#include "platform/childprocess.h"
#include "platform/linux/tmuxterminaldriver.h"
#include "platform/x11/x11windowactivator.h"
#include "testenvironment.h"
#include "testwindow.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace std::chrono_literals;

// Spoken commands in real xterm windows shown by tmux, on the test desktop's window manager. The
// desktop is looked at with xdotool and xprop, as another X client sees it.
class AgentWindowTest : public OpenClawTest {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    for (const char* tool : {"tmux", "xterm", "xdotool", "xprop"}) {
      if (QStandardPaths::findExecutable(QString::fromUtf8(tool)).isEmpty()) GTEST_SKIP() << tool << " is not installed";
    }
    OpenClawTest::SetUp();
    qputenv("SHELL", "/bin/sh");
    socket = TestEnvironment::root() + QStringLiteral("/agent.tmux");
    const TerminalEmulator xterm{QStandardPaths::findExecutable(QStringLiteral("xterm")), {QStringLiteral("-e")}};
    driver = std::make_unique<TmuxTerminalDriver>(TmuxTerminalDriver::Options{socket, xterm, 20s});
    TerminalDriver::install(driver.get());
    WindowActivator::install(&activator);
  }

  void TearDown() override {
    if (!driver) return;
    TerminalDriver::install(nullptr);
    WindowActivator::install(nullptr);
    run(QStringLiteral("tmux"), {QStringLiteral("-S"), socket, QStringLiteral("kill-server")});
    OpenClawTest::TearDown();
  }

  static QString run(const QString& program, const QStringList& arguments) {
    const ChildProcess::Result result =
        awaitTask(ChildProcess::run(QStandardPaths::findExecutable(program), arguments, 10s));
    return QString::fromUtf8(result.standardOutput).trimmed();
  }
  static QString activeWindow() { return run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}); }
  static QString property(const QString& window, const QString& name) {
    const QStringList where =
        window.isEmpty() ? QStringList{QStringLiteral("-root")} : QStringList{QStringLiteral("-id"), window};
    return run(QStringLiteral("xprop"), where + QStringList{name});
  }
  // Where the window manager stacks `window`, bottom first (-1: not listed).
  static qsizetype stackingIndex(const QString& window) {
    const QString stacking = property({}, QStringLiteral("_NET_CLIENT_LIST_STACKING")).section(QLatin1Char('#'), 1);
    QStringList ids;
    for (const QString& id : stacking.split(QLatin1Char(','))) ids << QString::number(id.trimmed().toULong(nullptr, 0));
    return ids.indexOf(window);
  }

  void say(const QString& command) {
    manager.handleVoiceCommand(command);
    ASSERT_TRUE(waitUntil([&] { return manager.isTerminalIdle(); }, 30s));
  }
  QString screen() {
    const QString session = u'$' + QString::number(manager.openClawWindowId().value_or(-1));
    return run(QStringLiteral("tmux"), {QStringLiteral("-S"), socket, QStringLiteral("capture-pane"), QStringLiteral("-p"),
                                       QStringLiteral("-t"), session});
  }

  QString socket;
  X11WindowActivator activator;
  std::unique_ptr<TmuxTerminalDriver> driver;
};

}  // namespace

TEST_F(AgentWindowTest, TheRememberedWindowComesToTheFrontWithEachCommandWhereverItWas) {
  say(QStringLiteral("echo spoken-0"));
  const std::optional<qint64> window = manager.openClawWindowId();
  ASSERT_TRUE(window);
  const QString title = TmuxTerminalDriver::windowTitle(QString::number(*window));
  QString terminal;
  ASSERT_TRUE(waitUntil([&] {
    terminal = activeWindow();
    return !terminal.isEmpty() && property(terminal, QStringLiteral("_NET_WM_NAME")).contains(title);
  }, 10s)) << "the new window is in front with its title";

  TestWindow other;
  const std::function<void()> hide[] = {
      [&] { run(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), terminal}); },
      [&] { ASSERT_TRUE(other.start()); },
      // A title that is no longer ours: the window is known by the emulator's process.
      [&] {
        run(QStringLiteral("xdotool"),
            {QStringLiteral("set_window"), QStringLiteral("--name"), QStringLiteral("notes"), terminal});
        run(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), terminal});
      },
  };
  int spoken = 0;
  for (const auto& hideIt : hide) {
    SCOPED_TRACE(++spoken);
    hideIt();
    ASSERT_TRUE(waitUntil([&] { return activeWindow() != terminal; }));
    const QString cover = activeWindow();  // none while the terminal is minimised
    say(QStringLiteral("echo spoken-%1").arg(spoken));
    EXPECT_TRUE(waitUntil([&] { return activeWindow() == terminal; })) << "active: " << activeWindow().toStdString();
    if (!cover.isEmpty()) {
      EXPECT_GT(stackingIndex(terminal), stackingIndex(cover)) << "raised above the window that covered it";
    }
    EXPECT_TRUE(waitUntil([&] { return screen().contains(QStringLiteral("\nspoken-%1").arg(spoken)); }))
        << screen().toStdString();
  }
  EXPECT_EQ(manager.openClawWindowId(), window) << "every command went to the one window";
}
