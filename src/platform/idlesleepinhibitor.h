#pragma once

#include <QString>

#include <memory>

// Keeps the machine from going to sleep while the user is idle, for as long
// as the program asks: a sleeping machine answers no global hotkey.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed nothing is held off.
class IdleSleepInhibitor {
 public:
  // Idle sleep stays held off while this lives.
  class Hold {
   public:
    virtual ~Hold() = default;
  };

  virtual ~IdleSleepInhibitor() = default;

  // Asks the desktop to hold idle sleep off, with `reason` as what the user
  // is shown. The desktop may answer later; one that cannot hold sleep off
  // says so in the log and the hold then holds nothing. Never null.
  virtual std::unique_ptr<Hold> holdOff(const QString& reason) = 0;

  static IdleSleepInhibitor& current();
  // Installs `inhibitor` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(IdleSleepInhibitor* inhibitor);
};
