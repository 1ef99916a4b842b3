#pragma once

#include "platform/idlesleepinhibitor.h"

#include <QDBusConnection>

// Holds idle sleep off through the desktop session, for the power managers
// that do not follow logind's idle lock. On the session bus it asks:
// - GNOME's session manager (Cinnamon and MATE answer to the same name),
//   whose automatic suspend follows its inhibitors. The hold asks for the
//   suspend flag (4) alone: the idle flag (8) would also keep the screen from
//   locking.
// - org.freedesktop.PowerManagement's Inhibit, followed by KDE's and Xfce's
//   power managers.
//
// Each is asked only where it runs now (asking starts none) and without
// blocking: the hold keeps the cookie a service answers with and hands it back
// when the hold goes, also when the answer comes after that. Both services
// drop the inhibitors of a caller that leaves the bus, so `bus` must stay
// connected while holds live (the session bus does, for the whole process).
// Where neither service runs, the log says so once per request.
class SessionIdleSleepInhibitor final : public IdleSleepInhibitor {
 public:
  explicit SessionIdleSleepInhibitor(const QDBusConnection& bus);

  std::unique_ptr<Hold> holdOff(const QString& reason) override;

 private:
  QDBusConnection bus_;
};
