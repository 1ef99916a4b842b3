#pragma once

#include "platform/commandrunner.h"

#include <QCoroTimer>
#include <QHash>
#include <QList>

// Answers in place of the system's programs and records every call. A program
// without an answer counts as not found. Answers come on a later turn of the
// event loop, as a real process's end would.
class FakeCommandRunner final : public CommandRunner {
 public:
  struct Call {
    QString program;
    QStringList arguments;
    std::chrono::milliseconds timeout;
  };

  // A program that ran and ended with `exitCode`.
  static ChildProcess::Result exited(int exitCode, const QByteArray& standardError = {}) {
    ChildProcess::Result result;
    result.started = true;
    result.exitCode = exitCode;
    result.standardError = standardError;
    return result;
  }

  QCoro::Task<ChildProcess::Result> run(QString program, QStringList arguments,
                                        std::chrono::milliseconds timeout) override {
    calls.append({program, arguments, timeout});
    const ChildProcess::Result answer = answers.value(program);
    co_await QCoro::sleepFor(std::chrono::milliseconds(1));
    co_return answer;
  }

  QHash<QString, ChildProcess::Result> answers;
  QList<Call> calls;
};
