#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Flatpak's bus proxy (Debian's xdg-dbus-proxy) in front of the test
// desktop's accessibility bus: an application started with
// AT_SPI_BUS_ADDRESS=address() appears on that bus under the proxy's process
// id, not its own, as a sandboxed one does.
class SandboxBusProxy {
 public:
  ~SandboxBusProxy() {
    process_.kill();
    process_.waitForFinished(2000);
  }

  // False when the proxy is not installed or did not come up.
  bool start();
  QString address() const { return QStringLiteral("unix:path=") + socketPath(); }

 private:
  QString socketPath() const { return folder_.filePath(QStringLiteral("bus")); }

  QTemporaryDir folder_;
  QProcess process_;
};
