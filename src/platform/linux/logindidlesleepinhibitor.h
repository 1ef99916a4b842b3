#pragma once

#include "platform/idlesleepinhibitor.h"

// Holds idle sleep off through logind: an inhibitor lock on "idle" in
// "block" mode, asked for on the system bus (DBUS_SYSTEM_BUS_ADDRESS, else
// the standard socket). logind keeps the lock while any copy of the file
// descriptor it hands back is open, so the hold keeps one until it goes.
//
// The call never blocks the caller: the lock is taken when logind answers.
// Where there is no system bus or no logind (a container, a bare X session)
// the program goes on without one, and the log says so once per request.
class LogindIdleSleepInhibitor final : public IdleSleepInhibitor {
 public:
  std::unique_ptr<Hold> holdOff(const QString& reason) override;
};
