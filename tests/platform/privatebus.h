#pragma once

#include "awaittask.h"

#include <QDir>
#include <QProcess>
#include <QString>

// A D-Bus daemon of the test's own, for stand-ins of the desktop's services.
// It listens in the test's temporary folder, may start the services the
// test's home lists in XDG_DATA_HOME/dbus-1/services, and ends with this.
class PrivateBus {
 public:
  PrivateBus() = default;
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;
  ~PrivateBus() {
    daemon_.terminate();
    daemon_.waitForFinished();
  }

  // Whether the daemon runs and has said where it listens.
  bool start() {
    daemon_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                  QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1"),
                                                  QStringLiteral("--address=unix:tmpdir=") + QDir::tempPath()});
    if (!daemon_.waitForStarted() || !waitUntil([&] { return daemon_.canReadLine(); })) return false;
    address_ = QString::fromUtf8(daemon_.readLine().trimmed());
    return true;
  }

  QString address() const { return address_; }

 private:
  QProcess daemon_;
  QString address_;
};
