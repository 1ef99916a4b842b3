#include "awaittask.h"
#include "platform/childprocess.h"
#include "platform/linux/tmuxterminaldriver.h"
#include "testenvironment.h"
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Runs the real tmux on private servers. The "terminal emulator" is a second
// tmux server that runs the attaching client in a detached session of its own,
// so the client has a terminal without any display.
class TmuxTerminalDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tmux = QStandardPaths::findExecutable(QStringLiteral("tmux"));
    if (tmux.isEmpty()) GTEST_SKIP() << "tmux is not installed";
    qputenv("SHELL", "/bin/sh");
    const QString root = TestEnvironment::root();
    inner = root + QStringLiteral("/inner.tmux");
    outer = root + QStringLiteral("/outer.tmux");
    emulator = root + QStringLiteral("/fake-terminal");
    QFile script(emulator);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(u"#!/bin/sh\nexec %1 -f /dev/null -S %2 new-session -d env -u TMUX \"$@\"\n"_qs.arg(tmux, outer).toUtf8());
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }

  void TearDown() override {
    qputenv("SHELL", shell);
    for (const QString& socket : {inner, outer}) {
      if (!socket.isEmpty()) awaitTask(ChildProcess::run(tmux, {QStringLiteral("-S"), socket, QStringLiteral("kill-server")}, 5s));
    }
  }

  TmuxTerminalDriver driver(const QString& emulatorProgram, std::chrono::milliseconds showTimeout = 5s) {
    return TmuxTerminalDriver({inner, TerminalEmulator{emulatorProgram, {}}, showTimeout});
  }

  // Runs tmux on the driver's server.
  ChildProcess::Result inInner(const QStringList& arguments) {
    return awaitTask(ChildProcess::run(tmux, QStringList{QStringLiteral("-S"), inner} + arguments, 5s));
  }
  QString screen(const QString& window) {
    return QString::fromUtf8(inInner({QStringLiteral("capture-pane"), QStringLiteral("-p"), QStringLiteral("-t"), u'$' + window}).standardOutput);
  }

  QString tmux, inner, outer, emulator;
  QByteArray shell = qgetenv("SHELL");
};

}  // namespace

TEST_F(TmuxTerminalDriverTest, CommandsReachTheShellExactlyAsGivenUntilTheWindowIsClosed) {
  TmuxTerminalDriver terminal = driver(emulator);
  // Quotes, a backslash and a trailing semicolon, which tmux's own argument
  // parser would otherwise take as a command separator.
  const std::optional<QString> window =
      awaitTask(terminal.openWindow(QStringLiteral("printf '%s|\\n' \"x\\\"y\\\\z\" 'semi;'; echo end;")));
  ASSERT_TRUE(window);
  EXPECT_TRUE(waitUntil([&] { return screen(*window).contains(QStringLiteral("\nend")); }, 10s)) << screen(*window).toStdString();
  EXPECT_TRUE(screen(*window).contains(QStringLiteral("x\"y\\z|\nsemi;|\nend")));

  // A command ending in an escaped semicolon keeps both characters.
  EXPECT_TRUE(awaitTask(terminal.runInWindow(*window, QStringLiteral("echo second\\\\;"))));
  EXPECT_TRUE(waitUntil([&] { return screen(*window).contains(QStringLiteral("\nsecond\\\n")); }, 10s))
      << screen(*window).toStdString();
  // The user closes the terminal: the emulator and its client go away, and the window with them.
  awaitTask(ChildProcess::run(tmux, {QStringLiteral("-S"), outer, QStringLiteral("kill-server")}, 5s));
  EXPECT_TRUE(waitUntil([&] { return !inInner({QStringLiteral("has-session"), QStringLiteral("-t"), u'$' + *window}).succeeded(); }));
  EXPECT_FALSE(awaitTask(terminal.runInWindow(*window, QStringLiteral("echo lost"))));
  EXPECT_FALSE(awaitTask(terminal.runInWindow(QStringLiteral("not-a-number"), QStringLiteral("echo lost"))));
}

TEST_F(TmuxTerminalDriverTest, AWindowThatNeverShowsRunsNothing) {
  const QString marker = QDir::homePath() + QStringLiteral("/ran");
  for (const QString& program : {QStringLiteral("/bin/true"), QStringLiteral("/nonexistent/terminal")}) {
    TmuxTerminalDriver terminal = driver(program, 300ms);
    EXPECT_EQ(awaitTask(terminal.openWindow(QStringLiteral("touch ") + marker)), std::nullopt);
    EXPECT_TRUE(inInner({QStringLiteral("list-sessions")}).standardOutput.trimmed().isEmpty());
    EXPECT_FALSE(QFile::exists(marker));
  }
}
