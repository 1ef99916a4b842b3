#include "sandboxbusproxy.h"

#include "awaittask.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>

bool SandboxBusProxy::start() {
  const QDBusMessage reply = QDBusConnection::sessionBus().call(
      QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                     QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")),
      QDBus::Block, 2000);
  if (!folder_.isValid() || reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
  process_.setProcessChannelMode(QProcess::ForwardedChannels);
  process_.start(QStringLiteral("xdg-dbus-proxy"), {reply.arguments().constFirst().toString(), socketPath()});
  return waitUntil([this] { return QFile::exists(socketPath()) || process_.state() == QProcess::NotRunning; }) &&
         process_.state() == QProcess::Running;
}
