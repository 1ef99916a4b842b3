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

}  // namespace

QString program() {
  const QString fromEnvironment = qEnvironmentVariable("SHELL");
  if (isExecutableFile(fromEnvironment)) return fromEnvironment;
  if (const passwd* account = getpwuid(getuid()); account && account->pw_shell) {
    const QString fromAccount = QString::fromLocal8Bit(account->pw_shell);
    if (isExecutableFile(fromAccount)) return fromAccount;
  }
  return QStringLiteral("/bin/sh");
}

QCoro::Task<ChildProcess::Result> run(QString command, std::chrono::milliseconds timeout) {
  const QStringList arguments{QStringLiteral("-l"), QStringLiteral("-c"), command};
  co_return co_await ChildProcess::run(program(), arguments, timeout);
}

}  // namespace LoginShell
