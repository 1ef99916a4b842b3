#pragma once

#include "platform/childprocess.h"

#include <QCoroTask>
#include <QString>

#include <chrono>

// Runs a command line of ours (never one built from input) through the user's
// login shell with "-l -c", so that it sees the PATH and the settings of the
// user's shell profile, where Node version managers put the OpenClaw tool.
namespace LoginShell {

// $SHELL when it names an executable file, else the account's shell from the
// password database, else /bin/sh.
QString program();

// Runs `command` and waits, without blocking, for it to end; killed after
// `timeout`. When program() cannot be started at all, the next shell of that
// order is tried.
QCoro::Task<ChildProcess::Result> run(QString command, std::chrono::milliseconds timeout);

}  // namespace LoginShell
