#pragma once

#include <QStringList>

// The uncaught-exception half of crash capture: a terminate handler that runs
// on the throwing thread before the process aborts. The process is still sane
// there, so it describes the exception, takes the call stack and has a
// complete report saved at once (CrashReporter::handleException); then the
// previous handler runs (the runtime's, which prints the exception) and the
// process aborts.
class UncaughtExceptionHandler {
 public:
  static void install();

  // At most `limit` frames of the current call stack, the caller's first,
  // each "binary(function+offset) [address]" with the function demangled.
  // Frames of the runtime's throw machinery above the throw site are left out.
  static QStringList callStack(int limit);

 private:
  [[noreturn]] static void onTerminate();
};
