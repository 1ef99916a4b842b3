#include "platform/linux/waitingrelauncher.h"

#include "platform/childprocess.h"

#include <QCoreApplication>

namespace {

// $1 is the process to wait for; the rest is the program and its arguments.
constexpr char kWaitThenStart[] = R"(while kill -0 "$1" 2>/dev/null; do sleep 0.1; done; shift; exec "$@")";

// What an AppImage's runtime sets for the image it runs: the new program
// must find its own values, not those of an image that is about to go away.
const QStringList kAppImageVariables = {QStringLiteral("APPIMAGE"), QStringLiteral("APPDIR"),
                                        QStringLiteral("ARGV0"), QStringLiteral("OWD")};

}  // namespace

bool WaitingRelauncher::startAfterExit(qint64 pid, const QString& program, const QStringList& arguments) {
  const QStringList shellArguments =
      QStringList{QStringLiteral("-c"), QString::fromLatin1(kWaitThenStart), QStringLiteral("veltrine-relaunch"),
                  QString::number(pid), program} +
      arguments;
  return ChildProcess::startDetached(QStringLiteral("/bin/sh"), shellArguments, kAppImageVariables);
}

bool WaitingRelauncher::relaunch(const QString& program) {
  if (!startAfterExit(QCoreApplication::applicationPid(), program)) return false;
  QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
  return true;
}
