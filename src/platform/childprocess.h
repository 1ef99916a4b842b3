#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QString>
#include <QStringList>

#include <chrono>

// Runs another program without ever blocking the caller's thread: a shell that
// reads a slow profile, or a hung helper, must not freeze the hotkeys. The
// program gets its own argument list (never a command line we glue together)
// and an empty standard input.
namespace ChildProcess {

struct Result {
  bool started = false;   // false: not found, not executable, or no start within the time-out
  bool timedOut = false;  // killed after running past the time-out
  bool crashed = false;   // ended by a signal
  int exitCode = -1;      // meaningful when it started and neither timed out nor crashed
  QByteArray standardOutput;
  QByteArray standardError;

  // Ended on its own with status 0.
  bool succeeded() const { return started && !timedOut && !crashed && exitCode == 0; }
};

// Starts `program` and waits, without blocking, until it ends; after `timeout`
// it is killed. Both outputs are collected. Never throws.
QCoro::Task<Result> run(QString program, QStringList arguments, std::chrono::milliseconds timeout);

// Starts `program` and lets it run on its own; its output goes nowhere (a pipe
// nobody reads would stall a talkative child). `unset` names environment
// variables it must not inherit. False when it could not start.
bool startDetached(const QString& program, const QStringList& arguments, const QStringList& unset = {});

}  // namespace ChildProcess
