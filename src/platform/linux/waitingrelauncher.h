#pragma once

#include "platform/relauncher.h"

#include <QStringList>

// Relaunches through a small shell that waits for this process to end and
// then becomes the new program. The shell's script is fixed; the process id
// and the program reach it as arguments, never as part of its text.
class WaitingRelauncher final : public Relauncher {
 public:
  bool relaunch(const QString& program) override;

  // Starts `program` with `arguments`, detached, once the process `pid` has
  // ended. False when the waiting shell could not be started.
  static bool startAfterExit(qint64 pid, const QString& program, const QStringList& arguments = {});
};
