#include "openclaw/loginshell.h"

#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

namespace LoginShell {

namespace {

bool isExecutableFile(const QString& path) {
  const QFileInfo info(path);
  return info.isAbsolute() && info.isFile() && info.isExecutable();
}

// The shells to try, in order: $SHELL, the account's shell, /bin/sh (each
// once, only those that name an executable file; /bin/sh always).
QStringList candidates() {
  QStringList shells;
  const QString fromEnvironment = qEnvironmentVariable("SHELL");
  if (isExecutableFile(fromEnvironment)) shells.append(fromEnvironment);
  if (const passwd* account = getpwuid(getuid()); account && account->pw_shell) {
    const QString fromAccount = QString::fromLocal8Bit(account->pw_shell);
    if (isExecutableFile(fromAccount) && !shells.contains(fromAccount)) shells.append(fromAccount);
  }
  if (!shells.contains(QStringLiteral("/bin/sh"))) shells.append(QStringLiteral("/bin/sh"));
  return shells;
}

}  // namespace

QString program() { return candidates().constFirst(); }

QCoro::Task<ChildProcess::Result> run(QString command, std::chrono::milliseconds timeout) {
  const QStringList arguments{QStringLiteral("-l"), QStringLiteral("-c"), command};
  ChildProcess::Result result;
  // A shell that could not even start (an executable file that is no program)
  // ran nothing: the next one may. One that started is never run again, so a
  // command runs at most once.
  for (const QString& shell : candidates()) {
    result = co_await ChildProcess::run(shell, arguments, timeout);
    if (result.started) break;
  }
  co_return result;
}

}  // namespace LoginShell
