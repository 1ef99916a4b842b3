#pragma once

#include "platform/commandrunner.h"

// Runs programs as child processes of this one (ChildProcess::run).
class ChildProcessRunner final : public CommandRunner {
 public:
  QCoro::Task<ChildProcess::Result> run(QString program, QStringList arguments,
                                        std::chrono::milliseconds timeout) override;
};
