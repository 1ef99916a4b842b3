#pragma once

#include <QByteArray>

// The fatal-signal half of crash capture. A process that received SIGSEGV,
// SIGABRT, SIGBUS, SIGILL, SIGFPE or SIGTRAP may be inside the allocator or
// hold any lock, so the handler only leaves a tiny marker file behind, using
// nothing but async-signal-safe calls, and then lets the process die of the
// same signal. The next launch turns the marker into a report.
//
// The marker is "<seconds since 1970>.crashmarker" in the marker folder and
// holds "SIGNAL=<name>\nTIME=<seconds>\n". Two crashes in the same second
// share the name; the later one replaces the earlier.
class CrashSignalHandler {
 public:
  // Stores the marker folder (written by no one but install, read by the
  // handler) and installs the handler for the six signals. A folder that is
  // empty or too long for the fixed buffer leaves no marker on a crash; the
  // signal still ends the process.
  static void install(const QByteArray& folder);

  // The handler: writes the marker, restores the default action and raises
  // the signal again.
  static void signalHandler(int signalNumber);

  // Writes the marker for `signalNumber` now. Async-signal-safe.
  static void writeCrashMarker(int signalNumber);

  // Called once a complete report of the crash under way has been saved (an
  // uncaught exception, which then aborts): from here on no marker is written,
  // so the crash gives one report, not two.
  static void crashAlreadyReported();
};
