#include "awaittask.h"
#include "platform/childprocess.h"
#include "platform/linux/tmuxterminaldriver.h"
#include "platform/windowactivator.h"
#include "testenvironment.h"
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace std::chrono_literals;

// The window manager of the fake terminal's windows: each pane of its tmux server is a window, shown by
// the server's process under the title the pane was given. Brings whichever window a real one would
// pick to the front, and records it.
class RecordingWindowActivator final : public WindowActivator {
 public:
  explicit RecordingWindowActivator(std::function<QList<ClientWindow>()> windows) : windows_(std::move(windows)) {
    WindowActivator::install(this);
  }
  ~RecordingWindowActivator() override { WindowActivator::install(nullptr); }

  bool activate(const WindowTarget& target) override {
    const std::optional<quint64> window = target.pick(windows_());
    if (window) activated.append(*window);
    return window.has_value();
  }
  bool activateHere(quint64) override { return false; }

  QList<quint64> activated;

 private:
  std::function<QList<ClientWindow>()> windows_;
};

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
  static QString session(const QString& window) { return u'=' + TmuxTerminalDriver::sessionName(window); }
  QString screen(const QString& window) {
    return QString::fromUtf8(inInner({QStringLiteral("capture-pane"), QStringLiteral("-p"), QStringLiteral("-t"), session(window) + u':'}).standardOutput);
  }
  bool exists(const QString& window) { return inInner({QStringLiteral("has-session"), QStringLiteral("-t"), session(window)}).succeeded(); }
  // tmux's own number of the window's session.
  QString number(const QString& window) {
    return QString::fromUtf8(inInner({QStringLiteral("display-message"), QStringLiteral("-p"), QStringLiteral("-t"), session(window),
                                      QStringLiteral("#{session_id}")}).standardOutput).trimmed();
  }
  // The fake terminal's windows as a window manager lists them.
  QList<ClientWindow> shownWindows() {
    const ChildProcess::Result panes = awaitTask(ChildProcess::run(
        tmux, {QStringLiteral("-S"), outer, QStringLiteral("list-panes"), QStringLiteral("-a"), QStringLiteral("-F"),
               QStringLiteral("#{pane_id} #{pid} #{pane_title}")}, 5s));
    QList<ClientWindow> windows;
    for (const QString& line : QString::fromUtf8(panes.standardOutput).split(u'\n', Qt::SkipEmptyParts)) {
      const QStringList fields = line.split(u' ');
      if (fields.size() < 2) continue;
      windows.append({fields[0].mid(1).toULongLong() + 1, fields[1].toLongLong(), fields.mid(2).join(u' ')});
    }
    return windows;
  }
  // The user closes the terminal: the emulator and its client go away, and the window with them.
  void closeEveryWindow() {
    awaitTask(ChildProcess::run(tmux, {QStringLiteral("-S"), outer, QStringLiteral("kill-server")}, 5s));
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
  closeEveryWindow();
  EXPECT_TRUE(waitUntil([&] { return !exists(*window); }));
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

// tmux numbers sessions from $0 again once its server has exited with its last session: the window
// opened after the first was closed has the first one's number, and still none of its commands, nor is it
// brought to the front for the closed one.
TEST_F(TmuxTerminalDriverTest, AClosedWindowsCommandsNeverReachAWindowOpenedSince) {
  TmuxTerminalDriver terminal = driver(emulator);
  RecordingWindowActivator activator([this] { return shownWindows(); });
  const std::optional<QString> closed = awaitTask(terminal.openWindow(QStringLiteral("echo first")));
  ASSERT_TRUE(closed);
  const QString closedNumber = number(*closed);
  closeEveryWindow();
  ASSERT_TRUE(waitUntil([&] { return !inInner({QStringLiteral("list-sessions")}).succeeded(); })) << "the server exits";

  const std::optional<QString> opened = awaitTask(terminal.openWindow(QStringLiteral("echo second")));
  ASSERT_TRUE(opened);
  ASSERT_EQ(number(*opened), closedNumber) << "tmux gave the new window the closed one's number";
  EXPECT_NE(*opened, *closed);
  EXPECT_FALSE(awaitTask(terminal.runInWindow(*closed, QStringLiteral("echo lost"))));
  EXPECT_FALSE(awaitTask(terminal.activateWindow(*closed)));
  EXPECT_TRUE(waitUntil([&] { return screen(*opened).contains(QStringLiteral("\nsecond")); }, 10s));
  EXPECT_FALSE(screen(*opened).contains(QStringLiteral("lost"))) << screen(*opened).toStdString();
  EXPECT_TRUE(awaitTask(terminal.runInWindow(*opened, QStringLiteral("echo third"))));
  EXPECT_TRUE(awaitTask(terminal.activateWindow(*opened)));
  EXPECT_EQ(activator.activated.size(), 1) << "the open window, and only when asked for by its own id";
}

// The user closes the last window and opens another at once: tmux's server is still exiting, and the
// first request for a session reaches it and fails. The window opens all the same.
TEST_F(TmuxTerminalDriverTest, AWindowAskedForWhileTheServerExitsStillOpens) {
  const QString bin = TestEnvironment::root() + QStringLiteral("/bin");
  ASSERT_TRUE(QDir().mkpath(bin));
  QFile wrapper(bin + QStringLiteral("/tmux"));
  ASSERT_TRUE(wrapper.open(QIODevice::WriteOnly));
  wrapper.write(uR"(#!/bin/sh
case " $* " in *" new-session "*)
  if [ ! -e "%1/refused" ]; then : > "%1/refused"; echo "server exited unexpectedly" >&2; exit 1; fi;;
esac
exec %2 "$@"
)"_qs.arg(bin, tmux).toUtf8());
  wrapper.close();
  wrapper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", bin.toUtf8() + ':' + path);
  TmuxTerminalDriver terminal = driver(emulator);
  qputenv("PATH", path);

  const std::optional<QString> window = awaitTask(terminal.openWindow(QStringLiteral("echo opened")));
  EXPECT_TRUE(QFile::exists(bin + QStringLiteral("/refused"))) << "the first request was refused";
  ASSERT_TRUE(window);
  EXPECT_TRUE(waitUntil([&] { return screen(*window).contains(QStringLiteral("\nopened")); }, 10s)) << screen(*window).toStdString();
}
