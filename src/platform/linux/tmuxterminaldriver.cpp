#include "platform/linux/tmuxterminaldriver.h"

#include "core/logging.h"
#include "core/paths.h"
#include "platform/linux/processancestry.h"
#include "platform/windowactivator.h"

#include <QCoroTimer>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

constexpr std::chrono::seconds kTmuxTimeout{5};
constexpr std::chrono::milliseconds kShowPoll{100};

bool isWindowId(const QString& text) {
  static const QRegularExpression digits(QStringLiteral("^[0-9]{1,18}$"));
  return digits.match(text).hasMatch();
}

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

  const QStringList create{QStringLiteral("new-session"), QStringLiteral("-d"),        QStringLiteral("-P"),
                           QStringLiteral("-F"),          QStringLiteral("#{session_id}"), QStringLiteral("-c"),
                           QDir::homePath()};
  const ChildProcess::Result created = co_await tmux(create);
  const QString target = QString::fromUtf8(created.standardOutput).trimmed();  // "$7"
  if (!created.succeeded() || !target.startsWith(QLatin1Char('$')) || !isWindowId(target.mid(1))) {
    qCWarning(lcTerminal) << "tmux could not make a session:" << created.standardError.trimmed();
    co_return std::nullopt;
  }

  // A plain window without tmux's status line, with a title of ours that
  // tells it apart where one emulator process shows every window. It ends
  // with the window that shows it: that option is set by the first client,
  // since a session that no client ever attached would otherwise end at once.
  const auto option = [&target](const QString& name, const QString& value) {
    return QStringList{QStringLiteral("set-option"), QStringLiteral("-t"), target, name, value};
  };
  const QStringList then{QStringLiteral(";")};
  const QStringList plain = option(QStringLiteral("status"), QStringLiteral("off")) + then +
                            option(QStringLiteral("set-titles"), QStringLiteral("on")) + then +
                            option(QStringLiteral("set-titles-string"), windowTitle(target.mid(1)));
  co_await tmux(plain);
  const QStringList endWithWindow{QStringLiteral("set-hook"), QStringLiteral("-t"), target,
                                  QStringLiteral("client-attached"),
                                  QStringLiteral("set-option -t '%1' destroy-unattached on").arg(target)};
  co_await tmux(endWithWindow);

  const QStringList attach{QStringLiteral("-S"), options_.socketPath, QStringLiteral("attach-session"),
                           QStringLiteral("-t"), target};
  // Started from inside someone's tmux, the attaching client would refuse to nest.
  const QStringList notNested{QStringLiteral("TMUX"), QStringLiteral("TMUX_PANE")};
  if (!ChildProcess::startDetached(emulator->program, emulator->argumentsToRun(tmuxPath_, attach), notNested)) {
    qCWarning(lcTerminal) << "the terminal emulator" << emulator->program << "did not start";
    co_await kill(target);
    co_return std::nullopt;
  }
  const bool shown = co_await waitForClient(target);
  if (!shown) {
    // Never run a command where nobody can see it.
    qCWarning(lcTerminal) << "the terminal window did not show within" << options_.showTimeout.count() << "ms";
    co_await kill(target);
    co_return std::nullopt;
  }
  const bool typed = co_await type(target, command);
  if (!typed) co_return std::nullopt;
  co_return target.mid(1);
}

QCoro::Task<bool> TmuxTerminalDriver::runInWindow(QString windowId, QString command) {
  if (tmuxPath_.isEmpty() || options_.socketPath.isEmpty() || !isWindowId(windowId)) co_return false;
  const QString target = QLatin1Char('$') + windowId;
  const QStringList has{QStringLiteral("has-session"), QStringLiteral("-t"), target};
  const ChildProcess::Result exists = co_await tmux(has);
  if (!exists.succeeded()) co_return false;
  const bool shown = co_await hasClient(target);
  if (!shown) {
    // Its window is gone (or never showed): the session is of no use to anyone.
    co_await kill(target);
    co_return false;
  }
  co_return co_await type(target, command);
}

QCoro::Task<bool> TmuxTerminalDriver::activateWindow(QString windowId) {
  if (tmuxPath_.isEmpty() || options_.socketPath.isEmpty() || !isWindowId(windowId)) co_return false;
  // The emulator showing the window is the attached client's parent (or,
  // behind a wrapper, an earlier ancestor).
  const std::optional<qint64> client = co_await clientPid(QLatin1Char('$') + windowId);
  if (!client) co_return false;
  co_return WindowActivator::current().activate({ProcessAncestry::lineOf(*client), windowTitle(windowId)});
}

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

QCoro::Task<std::optional<qint64>> TmuxTerminalDriver::clientPid(QString target) {
  const QStringList clients{QStringLiteral("list-clients"), QStringLiteral("-t"), target, QStringLiteral("-F"),
                            QStringLiteral("#{client_pid}")};
  const ChildProcess::Result listed = co_await tmux(clients);
  if (!listed.succeeded()) co_return std::nullopt;
  // The first client: one attached by hand as well shows the same session.
  bool ok = false;
  const qint64 pid = listed.standardOutput.split('\n').constFirst().trimmed().toLongLong(&ok);
  co_return ok && pid > 0 ? std::optional(pid) : std::nullopt;
}

QCoro::Task<bool> TmuxTerminalDriver::hasClient(QString target) {
  const std::optional<qint64> pid = co_await clientPid(target);
  co_return pid.has_value();
}

QCoro::Task<bool> TmuxTerminalDriver::waitForClient(QString target) {
  const auto deadline = std::chrono::steady_clock::now() + options_.showTimeout;
  while (true) {
    const bool attached = co_await hasClient(target);
    if (attached) co_return true;
    if (std::chrono::steady_clock::now() >= deadline) co_return false;
    co_await QCoro::sleepFor(kShowPoll);
  }
}

QCoro::Task<bool> TmuxTerminalDriver::type(QString target, QString command) {
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

QCoro::Task<void> TmuxTerminalDriver::kill(QString target) {
  const QStringList killSession{QStringLiteral("kill-session"), QStringLiteral("-t"), target};
  co_await tmux(killSession);
}
