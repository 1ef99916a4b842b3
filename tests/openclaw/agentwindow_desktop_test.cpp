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

QString run(const QString& program, const QStringList& arguments) {
  const ChildProcess::Result result =
      awaitTask(ChildProcess::run(QStandardPaths::findExecutable(program), arguments, 10s));
  return QString::fromUtf8(result.standardOutput).trimmed();
}
// The desktop as another X client sees it.
QString xdotool(const QStringList& arguments) { return run(QStringLiteral("xdotool"), arguments); }
QString activeWindow() { return xdotool({"getactivewindow"}); }

// Spoken commands in real xterm windows shown by tmux, on the test desktop's window manager.
class AgentWindowTest : public OpenClawTest {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    OpenClawTest::SetUp();
    qputenv("SHELL", "/bin/sh");
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

  void say(const QString& command) {
    manager.handleVoiceCommand(command);
    ASSERT_TRUE(waitUntil([&] { return manager.isTerminalIdle(); }, 30s));
  }

  const QString socket = TestEnvironment::root() + QStringLiteral("/agent.tmux");
  X11WindowActivator activator;
  std::unique_ptr<TmuxTerminalDriver> driver;
};

TEST_F(AgentWindowTest, TheRememberedWindowComesToTheFrontWithEachCommandWhereverItWas) {
  say(QStringLiteral("echo first"));
  const std::optional<qint64> window = manager.openClawWindowId();
  ASSERT_TRUE(window);
  const QString title = TmuxTerminalDriver::windowTitle(QString::number(*window));
  QString terminal;
  ASSERT_TRUE(waitUntil([&] {
    terminal = activeWindow();
    return !terminal.isEmpty() && xdotool({"getwindowname", terminal}).contains(title);
  }, 10s)) << "the new window is in front with its title";

  TestWindow other;
  const std::function<void()> hide[] = {
      [&] { xdotool({"windowminimize", terminal}); },
      [&] { ASSERT_TRUE(other.start()); },
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

}  // namespace
