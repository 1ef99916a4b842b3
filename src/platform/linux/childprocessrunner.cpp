#include "platform/linux/childprocessrunner.h"

QCoro::Task<ChildProcess::Result> ChildProcessRunner::run(QString program, QStringList arguments,
                                                          std::chrono::milliseconds timeout) {
  co_return co_await ChildProcess::run(std::move(program), std::move(arguments), timeout);
}
