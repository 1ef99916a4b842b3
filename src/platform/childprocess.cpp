#include "platform/childprocess.h"

#include <QCoroProcess>
#include <QProcess>

#include <memory>

namespace ChildProcess {

QCoro::Task<Result> run(QString program, QStringList arguments, std::chrono::milliseconds timeout) {
  Result result;
  const auto process = std::make_unique<QProcess>();
  process->setProgram(program);
  process->setArguments(arguments);
  process->setStandardInputFile(QProcess::nullDevice());
  process->start();
  const bool started = co_await qCoro(process.get()).waitForStarted(timeout);
  if (!started) {
    process->kill();
    co_return result;
  }
  result.started = true;
  const bool finished = co_await qCoro(process.get()).waitForFinished(timeout);
  if (!finished) {
    result.timedOut = true;
    process->kill();
    // SIGKILL cannot be refused; the short wait only reaps the child.
    co_await qCoro(process.get()).waitForFinished(std::chrono::seconds(2));
  }
  result.crashed = !result.timedOut && process->exitStatus() == QProcess::CrashExit;
  result.exitCode = process->exitCode();
  result.standardOutput = process->readAllStandardOutput();
  result.standardError = process->readAllStandardError();
  co_return result;
}

bool startDetached(const QString& program, const QStringList& arguments, const QStringList& unset) {
  QProcess process;
  if (!unset.isEmpty()) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : unset) environment.remove(name);
    process.setProcessEnvironment(environment);
  }
  process.setProgram(program);
  process.setArguments(arguments);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  return process.startDetached();
}

}  // namespace ChildProcess
