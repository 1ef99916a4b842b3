// The desktop session's inhibitors against stand-ins of GNOME's session
// manager and of the freedesktop power manager on a session bus of the test's
// own.
#include "platform/linux/sessionidlesleepinhibitor.h"

#include "awaittask.h"
#include "logcapture.h"
#include "privatebus.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

const QString kReason = QStringLiteral("Veltrine needs to listen for global hotkeys at all times");
const QString kGnome = QStringLiteral("org.gnome.SessionManager");
const QString kPowerManager = QStringLiteral("org.freedesktop.PowerManagement");

// A service that hands out inhibitor cookies: answers Inhibit with its cookie,
// any other call of its interface with nothing, and notes every call as
// "Method(arguments) signature".
class InhibitorStandIn final : public QDBusVirtualObject {
 public:
  InhibitorStandIn(QString interface, uint cookie) : interface_(std::move(interface)), cookie_(cookie) {}

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() != interface_) return false;
    QStringList arguments;
    for (const QVariant& argument : message.arguments()) arguments << argument.toString();
    calls.push_back(
        (message.member() + '(' + arguments.join(QStringLiteral(", ")) + ") " + message.signature()).toStdString());
    connection.send(message.member() == QStringLiteral("Inhibit") ? message.createReply(QVariant::fromValue(cookie_))
                                                                  : message.createReply());
    return true;
  }
  QString introspect(const QString&) const override { return {}; }

  std::vector<std::string> calls;

 private:
  QString interface_;
  uint cookie_;
};

// GNOME's session manager and the power manager, on the private bus.
class SessionServices {
 public:
  explicit SessionServices(const QString& address)
      : connection_(QDBusConnection::connectToBus(address, QStringLiteral("services"))) {}
  ~SessionServices() { QDBusConnection::disconnectFromBus(QStringLiteral("services")); }

  bool start() {
    return connection_.registerService(kGnome) &&
           connection_.registerVirtualObject(QStringLiteral("/org/gnome/SessionManager"), &gnome) &&
           connection_.registerService(kPowerManager) &&
           connection_.registerVirtualObject(QStringLiteral("/org/freedesktop/PowerManagement/Inhibit"), &powerManager);
  }

  InhibitorStandIn gnome{kGnome, 17};
  InhibitorStandIn powerManager{kPowerManager + QStringLiteral(".Inhibit"), 42};

 private:
  QDBusConnection connection_;
};

// The program's own connection to the private bus.
QDBusConnection programConnection(const PrivateBus& bus) {
  return QDBusConnection::connectToBus(bus.address(), QStringLiteral("program"));
}

TEST(SessionIdleSleepInhibitor, AsksGnomeForSuspendAloneAndThePowerManagerOnceAndHandsBothCookiesBack) {
  PrivateBus bus;
  ASSERT_TRUE(bus.start());
  SessionServices services(bus.address());
  ASSERT_TRUE(services.start());

  LogCapture log;
  std::unique_ptr<IdleSleepInhibitor::Hold> hold = SessionIdleSleepInhibitor(programConnection(bus)).holdOff(kReason);
  ASSERT_TRUE(waitUntil([&] { return log.texts(QStringLiteral("AppDelegate")).size() == 2; }));
  QStringList logged = log.texts(QStringLiteral("AppDelegate"));
  logged.sort();
  EXPECT_EQ(logged, (QStringList{"Idle sleep held off while the program runs (GNOME's session manager)",
                                  "Idle sleep held off while the program runs (the power manager)"}));
  // The desktop id, no window, and the suspend flag alone: the screen still locks.
  EXPECT_EQ(services.gnome.calls,
            std::vector<std::string>{"Inhibit(veltrine, 0, " + kReason.toStdString() + ", 4) susu"});
  EXPECT_EQ(services.powerManager.calls,
            std::vector<std::string>{"Inhibit(Veltrine, " + kReason.toStdString() + ") ss"});

  // Given every chance to go, the inhibitors stay while the hold lives.
  EXPECT_FALSE(waitUntil([&] { return services.gnome.calls.size() + services.powerManager.calls.size() > 2; }, 300ms));
  hold.reset();
  ASSERT_TRUE(waitUntil([&] { return services.gnome.calls.size() + services.powerManager.calls.size() == 4; }));
  EXPECT_EQ(services.gnome.calls.back(), "Uninhibit(17) u");
  EXPECT_EQ(services.powerManager.calls.back(), "UnInhibit(42) u");
}

// The cookies come after the hold has gone: they go back all the same, or the
// inhibitors would stay until the program ends.
TEST(SessionIdleSleepInhibitor, AHoldLetGoBeforeTheAnswersStillHandsTheCookiesBack) {
  PrivateBus bus;
  ASSERT_TRUE(bus.start());
  SessionServices services(bus.address());
  ASSERT_TRUE(services.start());

  SessionIdleSleepInhibitor(programConnection(bus)).holdOff(kReason).reset();
  ASSERT_TRUE(waitUntil([&] { return services.gnome.calls.size() + services.powerManager.calls.size() == 4; }));
  EXPECT_EQ(services.gnome.calls.back(), "Uninhibit(17) u");
  EXPECT_EQ(services.powerManager.calls.back(), "UnInhibit(42) u");
}

// A bare window manager: neither service runs, none is started for the asking
// (though the bus could start both), and one line says so. Without a session
// bus at all, one line says that.
TEST(SessionIdleSleepInhibitor, WhereNeitherServiceRunsNoneIsStartedAndOneLineSaysSo) {
  const QString services = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/dbus-1/services";
  const QString started = TestEnvironment::root() + "/service-started";
  ASSERT_TRUE(QDir().mkpath(services));
  for (const QString& name : {kGnome, kPowerManager}) {
    QFile file(services + '/' + name + ".service");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("[D-BUS Service]\nName=" + name + "\nExec=/usr/bin/touch " + started + "\n").toUtf8());
  }
  PrivateBus bus;
  ASSERT_TRUE(bus.start());

  LogCapture log;
  const auto hold = SessionIdleSleepInhibitor(programConnection(bus)).holdOff(kReason);
  ASSERT_NE(hold, nullptr);
  EXPECT_TRUE(waitUntil([&] { return !log.texts(QStringLiteral("AppDelegate")).isEmpty(); }));
  EXPECT_FALSE(waitUntil([&] { return log.texts(QStringLiteral("AppDelegate")).size() > 1; }, 300ms));
  EXPECT_EQ(log.texts(QStringLiteral("AppDelegate")),
            QStringList{QStringLiteral("Idle sleep is not held off by the desktop session: neither GNOME's session "
                                       "manager nor org.freedesktop.PowerManagement runs on the session bus")});
  EXPECT_FALSE(QFile::exists(started));

  LogCapture noBus;
  EXPECT_NE(SessionIdleSleepInhibitor(QDBusConnection(QStringLiteral("none"))).holdOff(kReason), nullptr);
  ASSERT_EQ(noBus.texts(QStringLiteral("AppDelegate")).size(), 1);
  EXPECT_TRUE(noBus.texts(QStringLiteral("AppDelegate"))[0].startsWith(
      QStringLiteral("Idle sleep is not held off by the desktop session: no session bus")));
}

}  // namespace
