#include "platform/linux/logindidlesleepinhibitor.h"

#include "core/logging.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>

namespace {

// The lock logind handed back, once it has answered.
class LogindHold final : public IdleSleepInhibitor::Hold {
 public:
  explicit LogindHold(const QDBusPendingCall& call) : watcher_(call) {
    QObject::connect(&watcher_, &QDBusPendingCallWatcher::finished, &watcher_, [this] { take(); });
  }

 private:
  void take() {
    const QDBusPendingReply<QDBusUnixFileDescriptor> reply = watcher_;
    if (reply.isError()) {
      qCWarning(lcAppDelegate, "Idle sleep is not held off: no logind inhibitor (%s)",
                qUtf8Printable(reply.error().message()));
      return;
    }
    // A copy of our own: Qt closes the reply's descriptor with the reply.
    lock_ = reply.value();
    if (!lock_.isValid()) {
      qCWarning(lcAppDelegate, "Idle sleep is not held off: logind handed back no descriptor");
      return;
    }
    qCInfo(lcAppDelegate, "Idle sleep held off while the program runs (logind inhibitor)");
  }

  QDBusPendingCallWatcher watcher_;
  QDBusUnixFileDescriptor lock_;
};

}  // namespace

std::unique_ptr<IdleSleepInhibitor::Hold> LogindIdleSleepInhibitor::holdOff(const QString& reason) {
  QDBusMessage inhibit =
      QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                                     QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
  inhibit << QStringLiteral("idle") << QStringLiteral("Veltrine") << reason << QStringLiteral("block");
  const QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) {
    qCWarning(lcAppDelegate, "Idle sleep is not held off: no system bus (%s)", qUtf8Printable(bus.lastError().message()));
    return std::make_unique<Hold>();
  }
  return std::make_unique<LogindHold>(bus.asyncCall(inhibit));
}
