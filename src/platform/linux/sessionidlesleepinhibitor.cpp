#include "platform/linux/sessionidlesleepinhibitor.h"

#include "core/logging.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <vector>

namespace {

// GNOME finds the program's name and icon by its desktop id (main() sets it);
// the power managers show the application's name as given.
const QString kDesktopId = QStringLiteral("veltrine");
const QString kApplicationName = QStringLiteral("Veltrine");
// GNOME's inhibitor flags: 4 suspend. Never 8 (idle): the screen would stop locking.
constexpr uint kSuspendFlag = 4;

// A desktop service that hands out an inhibitor cookie and takes it back.
struct CookieService {
  const char* logName;
  QString name;
  QString path;
  QString interface;
  QString releaseMethod;

  QDBusMessage call(const QString& method) const {
    QDBusMessage message = QDBusMessage::createMethodCall(name, path, interface, method);
    // Only a service that runs now: asking must not start a power manager
    // that the desktop does not use.
    message.setAutoStartService(false);
    return message;
  }
};

const CookieService& gnomeSessionManager() {
  static const CookieService service{"GNOME's session manager", QStringLiteral("org.gnome.SessionManager"),
                                     QStringLiteral("/org/gnome/SessionManager"),
                                     QStringLiteral("org.gnome.SessionManager"), QStringLiteral("Uninhibit")};
  return service;
}

const CookieService& powerManagement() {
  static const CookieService service{"the power manager", QStringLiteral("org.freedesktop.PowerManagement"),
                                     QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"),
                                     QStringLiteral("org.freedesktop.PowerManagement.Inhibit"),
                                     QStringLiteral("UnInhibit")};
  return service;
}

// Hands the cookie back once the service has answered with one.
void release(QDBusConnection bus, const CookieService& service, const QDBusPendingCall& inhibit) {
  const auto handBack = [bus, &service](const QDBusPendingReply<uint>& reply) {
    if (reply.isValid()) bus.send(service.call(service.releaseMethod) << reply.value());
  };
  if (inhibit.isFinished()) {
    handBack(QDBusPendingReply<uint>(inhibit));
    return;
  }
  // The answer is still on its way: its cookie goes back when it comes.
  auto* answer = new QDBusPendingCallWatcher(inhibit);
  QObject::connect(answer, &QDBusPendingCallWatcher::finished, answer, [handBack, answer] {
    handBack(QDBusPendingReply<uint>(*answer));
    answer->deleteLater();
  });
}

// The inhibitors of both services, from their answers until the hold goes.
class SessionHold final : public IdleSleepInhibitor::Hold {
 public:
  SessionHold(const QDBusConnection& bus, const QString& reason) : bus_(bus) {
    QDBusMessage gnome = gnomeSessionManager().call(QStringLiteral("Inhibit"));
    gnome << kDesktopId << 0u << reason << kSuspendFlag;  // 0: no window of ours
    QDBusMessage power = powerManagement().call(QStringLiteral("Inhibit"));
    power << kApplicationName << reason;
    ask(gnomeSessionManager(), gnome);
    ask(powerManagement(), power);
  }

  ~SessionHold() override {
    for (const Asked& asked : asked_) release(bus_, *asked.service, *asked.answer);
  }

 private:
  struct Asked {
    const CookieService* service;
    std::unique_ptr<QDBusPendingCallWatcher> answer;
  };

  void ask(const CookieService& service, const QDBusMessage& inhibit) {
    auto answer = std::make_unique<QDBusPendingCallWatcher>(bus_.asyncCall(inhibit));
    QObject::connect(answer.get(), &QDBusPendingCallWatcher::finished, answer.get(),
                     [this, &service, watcher = answer.get()] { answered(service, *watcher); });
    asked_.push_back({&service, std::move(answer)});
  }

  void answered(const CookieService& service, const QDBusPendingReply<uint>& reply) {
    if (reply.isValid()) {
      qCInfo(lcAppDelegate, "Idle sleep held off while the program runs (%s)", service.logName);
      return;
    }
    // Not there: nothing owns the name (and, not to be started, it stays so).
    const QString error = reply.error().name();
    if (error != QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner") &&
        error != QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown")) {
      qCWarning(lcAppDelegate, "Idle sleep is not held off by %s (%s)", service.logName,
                qUtf8Printable(reply.error().message()));
      return;
    }
    if (++absent_ == asked_.size())
      qCWarning(lcAppDelegate,
                "Idle sleep is not held off by the desktop session: neither GNOME's session manager nor "
                "org.freedesktop.PowerManagement runs on the session bus");
  }

  QDBusConnection bus_;
  std::vector<Asked> asked_;
  size_t absent_ = 0;
};

}  // namespace

SessionIdleSleepInhibitor::SessionIdleSleepInhibitor(const QDBusConnection& bus) : bus_(bus) {}

std::unique_ptr<IdleSleepInhibitor::Hold> SessionIdleSleepInhibitor::holdOff(const QString& reason) {
  if (!bus_.isConnected()) {
    qCWarning(lcAppDelegate, "Idle sleep is not held off by the desktop session: no session bus (%s)",
              qUtf8Printable(bus_.lastError().message()));
    return std::make_unique<Hold>();
  }
  return std::make_unique<SessionHold>(bus_, reason);
}
