#pragma once

#include "platform/commandrunner.h"

#include <QCoroTimer>
#include <QHash>
#include <QList>

// Answers in place of the system's programs and records every call: a program
// in `exitCodes` ran and ended with that code, any other was not found. The
// answer comes on a later turn of the event loop, as a real process's end would.
class FakeCommandRunner final : public CommandRunner {
 public:
  struct Call {
    QString program;
    QStringList arguments;
    std::chrono::milliseconds timeout;
  };

  QCoro::Task<ChildProcess::Result> run(QString program, QStringList arguments,
                                        std::chrono::milliseconds timeout) override {
    calls.append({program, arguments, timeout});
    ChildProcess::Result result;
    result.started = exitCodes.contains(program);
    result.exitCode = exitCodes.value(program, -1);
    co_await QCoro::sleepFor(std::chrono::milliseconds(1));
    co_return result;
  }

  QHash<QString, int> exitCodes;
  QList<Call> calls;
};
