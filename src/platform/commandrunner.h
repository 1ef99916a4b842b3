#pragma once

#include "platform/childprocess.h"

#include <QCoroTask>
#include <QString>
#include <QStringList>

#include <chrono>

// Runs another program and hands back how it ended, without blocking the
// caller's thread. Whoever needs to ask the system's tools something (the
// package manager, say) takes one, so that tests can answer in its place.
class CommandRunner {
 public:
  virtual ~CommandRunner() = default;

  // `program` gets exactly `arguments`, never a command line glued together;
  // it is killed after `timeout`. Never throws.
  virtual QCoro::Task<ChildProcess::Result> run(QString program, QStringList arguments,
                                                std::chrono::milliseconds timeout) = 0;
};
