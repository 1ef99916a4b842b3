#include "platform/linux/tmuxterminaldriver.h"

#include "core/logging.h"
#include "core/paths.h"
#include "platform/linux/processancestry.h"
#include "platform/windowactivator.h"

#include <QCoroTimer>
#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

constexpr std::chrono::seconds kTmuxTimeout{5};
constexpr std::chrono::milliseconds kShowPoll{100};
// tmux's server exits with its last session. A session asked for in that
// moment reaches the exiting server ("server exited unexpectedly"); asked
// again a moment later, it starts a server of its own.
constexpr std::chrono::milliseconds kSecondTryPause{200};

bool isWindowId(const QString& text) {
  static const QRegularExpression token(QStringLiteral("^[0-9a-f]{16}$"));
  return token.match(text).hasMatch();
}

// 64 random bits: no two windows ever carry the same one, whatever tmux's
// own numbering does when its server starts again.
QString newWindowId() {
  return QStringLiteral("%1").arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
}

// The session itself, by its exact name ("=" stops tmux from taking the name
// as the prefix or pattern of another one's).
QString sessionTarget(const QString& windowId) { return QLatin1Char('=') + TmuxTerminalDriver::sessionName(windowId); }
// The session's pane, for the commands that address one.
QString paneTarget(const QString& windowId) { return sessionTarget(windowId) + QLatin1Char(':'); }

}  // namespace

TmuxTerminalDriver::TmuxTerminalDriver() : TmuxTerminalDriver(Options{}) {}

TmuxTerminalDriver::TmuxTerminalDriver(Options options)
    : options_(std::move(options)), tmuxPath_(QStandardPaths::findExecutable(QStringLiteral("tmux"))) {
  if (options_.socketPath.isEmpty()) {
    const QString folder = Paths::temporaryDirectory();
    if (!folder.isEmpty()) options_.socketPath = folder + QStringLiteral("/terminal.tmux");
  }
}

QString TmuxTerminalDriver::literalArgument(const QString& text) {
  // tmux cuts an argument ending in ";" there and reads "\;" at the end as a
  // plain ";", so a backslash before the final semicolon keeps the text whole.
  if (!text.endsWith(QLatin1Char(';'))) return text;
  return text.chopped(1) + QStringLiteral("\\;");
}

QCoro::Task<std::optional<QString>> TmuxTerminalDriver::openWindow(QString command) {
  if (tmuxPath_.isEmpty() || options_.socketPath.isEmpty()) {
    qCWarning(lcTerminal) << "no terminal window: tmux is not installed or there is no private folder for its socket";
    co_return std::nullopt;
  }
  const std::optional<TerminalEmulator> emulator = options_.emulator ? options_.emulator : TerminalEmulator::find();
  if (!emulator) {
    qCWarning(lcTerminal) << "no terminal window: no terminal emulator found on the PATH";
    co_return std::nullopt;
  }

  const QString windowId = newWindowId();
  const QStringList create{QStringLiteral("new-session"), QStringLiteral("-d"), QStringLiteral("-s"),
                           sessionName(windowId),         QStringLiteral("-c"), QDir::homePath()};
  ChildProcess::Result created = co_await tmux(create);
  if (!created.succeeded()) {
    co_await QCoro::sleepFor(kSecondTryPause);
    created = co_await tmux(create);
  }
  if (!created.succeeded()) {
    qCWarning(lcTerminal) << "tmux could not make a session:" << created.standardError.trimmed();
    co_return std::nullopt;
  }

  // A plain window without tmux's status line, with a title of ours that
  // tells it apart where one emulator process shows every window. It ends
  // with the window that shows it: that option is set by the first client,
  // since a session that no client ever attached would otherwise end at once.
  // (Option commands take a pane and set the option of that pane's session.)
  const QString pane = paneTarget(windowId);
  const auto option = [&pane](const QString& name, const QString& value) {
    return QStringList{QStringLiteral("set-option"), QStringLiteral("-t"), pane, name, value};
  };
  const QStringList then{QStringLiteral(";")};
  const QStringList plain = option(QStringLiteral("status"), QStringLiteral("off")) + then +
                            option(QStringLiteral("set-titles"), QStringLiteral("on")) + then +
                            option(QStringLiteral("set-titles-string"), windowTitle(windowId));
  co_await tmux(plain);
  const QStringList endWithWindow{QStringLiteral("set-hook"), QStringLiteral("-t"), pane,
                                  QStringLiteral("client-attached"),
                                  QStringLiteral("set-option -t '%1' destroy-unattached on").arg(pane)};
  co_await tmux(endWithWindow);

  const QStringList attach{QStringLiteral("-S"), options_.socketPath, QStringLiteral("attach-session"),
                           QStringLiteral("-t"), sessionTarget(windowId)};
  // Started from inside someone's tmux, the attaching client would refuse to nest.
  const QStringList notNested{QStringLiteral("TMUX"), QStringLiteral("TMUX_PANE")};
  if (!ChildProcess::startDetached(emulator->program, emulator->argumentsToRun(tmuxPath_, attach), notNested)) {
    qCWarning(lcTerminal) << "the terminal emulator" << emulator->program << "did not start";
    co_await kill(windowId);
    co_return std::nullopt;
  }
  const bool shown = co_await waitForClient(windowId);
  if (!shown) {
    // Never run a command where nobody can see it.
    qCWarning(lcTerminal) << "the terminal window did not show within" << options_.showTimeout.count() << "ms";
    co_await kill(windowId);
    co_return std::nullopt;
  }
  const bool typed = co_await type(windowId, command);
  if (!typed) co_return std::nullopt;
  co_return windowId;
}

QCoro::Task<bool> TmuxTerminalDriver::runInWindow(QString windowId, QString command) {
  if (tmuxPath_.isEmpty() || options_.socketPath.isEmpty() || !isWindowId(windowId)) co_return false;
  const QStringList has{QStringLiteral("has-session"), QStringLiteral("-t"), sessionTarget(windowId)};
  const ChildProcess::Result exists = co_await tmux(has);
  if (!exists.succeeded()) co_return false;
  const bool shown = co_await hasClient(windowId);
  if (!shown) {
    // Its window is gone (or never showed): the session is of no use to anyone.
    co_await kill(windowId);
    co_return false;
  }
  // Addressed by name, so it reaches this window or none.
  co_return co_await type(windowId, command);
}

QCoro::Task<bool> TmuxTerminalDriver::activateWindow(QString windowId) {
  if (tmuxPath_.isEmpty() || options_.socketPath.isEmpty() || !isWindowId(windowId)) co_return false;
  // The emulator showing the window is the attached client's parent (or,
  // behind a wrapper, an earlier ancestor).
  const std::optional<qint64> client = co_await clientPid(windowId);
  if (!client) co_return false;
  co_return WindowActivator::current().activate({ProcessAncestry::lineOf(*client), windowTitle(windowId)});
}

QString TmuxTerminalDriver::sessionName(const QString& windowId) { return QStringLiteral("veltrine-") + windowId; }

QString TmuxTerminalDriver::windowTitle(const QString& windowId) {
  // Closed by a bracket, so that no window's title is part of another's.
  return QStringLiteral("Veltrine (terminal %1)").arg(windowId);
}

QCoro::Task<ChildProcess::Result> TmuxTerminalDriver::tmux(QStringList arguments) {
  // Our own server, without the user's tmux configuration, so that key
  // bindings or hooks of theirs cannot change what we type.
  const QStringList server{QStringLiteral("-f"), QStringLiteral("/dev/null"), QStringLiteral("-S"),
                           options_.socketPath};
  co_return co_await ChildProcess::run(tmuxPath_, server + arguments, kTmuxTimeout);
}

QCoro::Task<std::optional<qint64>> TmuxTerminalDriver::clientPid(QString windowId) {
  const QStringList clients{QStringLiteral("list-clients"), QStringLiteral("-t"), sessionTarget(windowId), QStringLiteral("-F"),
                            QStringLiteral("#{client_pid}")};
  const ChildProcess::Result listed = co_await tmux(clients);
  if (!listed.succeeded()) co_return std::nullopt;
  // The first client: one attached by hand as well shows the same session.
  bool ok = false;
  const qint64 pid = listed.standardOutput.split('\n').constFirst().trimmed().toLongLong(&ok);
  co_return ok && pid > 0 ? std::optional(pid) : std::nullopt;
}

QCoro::Task<bool> TmuxTerminalDriver::hasClient(QString windowId) {
  const std::optional<qint64> pid = co_await clientPid(windowId);
  co_return pid.has_value();
}

QCoro::Task<bool> TmuxTerminalDriver::waitForClient(QString windowId) {
  const auto deadline = std::chrono::steady_clock::now() + options_.showTimeout;
  while (true) {
    const bool attached = co_await hasClient(windowId);
    if (attached) co_return true;
    if (std::chrono::steady_clock::now() >= deadline) co_return false;
    co_await QCoro::sleepFor(kShowPoll);
  }
}

QCoro::Task<bool> TmuxTerminalDriver::type(QString windowId, QString command) {
  const QString target = paneTarget(windowId);
  const QStringList text{QStringLiteral("send-keys"), QStringLiteral("-t"), target, QStringLiteral("-l"),
                         QStringLiteral("--"), literalArgument(command)};
  const ChildProcess::Result typed = co_await tmux(text);
  if (!typed.succeeded()) {
    qCWarning(lcTerminal) << "tmux could not type the command:" << typed.standardError.trimmed();
    co_return false;
  }
  const QStringList enter{QStringLiteral("send-keys"), QStringLiteral("-t"), target, QStringLiteral("Enter")};
  const ChildProcess::Result entered = co_await tmux(enter);
  co_return entered.succeeded();
}

QCoro::Task<void> TmuxTerminalDriver::kill(QString windowId) {
  const QStringList killSession{QStringLiteral("kill-session"), QStringLiteral("-t"), sessionTarget(windowId)};
  co_await tmux(killSession);
}
