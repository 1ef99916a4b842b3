#pragma once

#include <QString>

// Ends the running program and starts a fresh one in its place, as after an
// update. The fresh start waits until this process is gone: only one copy of
// the program may run at a time.
class Relauncher {
 public:
  virtual ~Relauncher() = default;

  // Arranges the start of `program` for when this process has ended, then
  // asks the application to quit. False, with the program left running, when
  // the start could not be arranged.
  virtual bool relaunch(const QString& program) = 0;
};
