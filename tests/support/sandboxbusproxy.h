#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Flatpak's bus proxy (Debian's xdg-dbus-proxy) in front of the test
// desktop's accessibility bus, the way a sandboxed application reaches that
// bus: an application started with AT_SPI_BUS_ADDRESS=address() appears on
// the bus under the proxy's process id, not its own. Needs the test desktop.
class SandboxBusProxy {
 public:
  SandboxBusProxy() = default;
  ~SandboxBusProxy();  // ends the proxy
  SandboxBusProxy(const SandboxBusProxy&) = delete;
  SandboxBusProxy& operator=(const SandboxBusProxy&) = delete;

  // False when the proxy is not installed or did not come up.
  bool start();
  QString address() const { return QStringLiteral("unix:path=") + socketPath(); }
  qint64 processId() const { return process_.processId(); }

 private:
  QString socketPath() const { return folder_.filePath(QStringLiteral("bus")); }

  QTemporaryDir folder_;
  QProcess process_;
};
