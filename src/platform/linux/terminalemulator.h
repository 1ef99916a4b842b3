#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A terminal emulator that can be told which program to run in its window:
// the program, then `runArguments`, then the program to run with its own
// arguments (each as an argument of its own, never one command line).
struct TerminalEmulator {
  QString program;
  QStringList runArguments;

  // The known emulators, most generic first: the desktop's chosen one
  // (Debian's x-terminal-emulator), then those of the common desktops, then
  // the plain X ones.
  static QList<TerminalEmulator> candidates();

  // The first candidate found on the PATH, with its absolute path.
  static std::optional<TerminalEmulator> find();

  // The arguments that open a window running `program` with `arguments`.
  QStringList argumentsToRun(const QString& program, const QStringList& arguments) const;
};
