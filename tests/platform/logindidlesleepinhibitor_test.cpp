// The logind inhibitor against a stand-in of logind's manager on a system bus
// of the test's own (a dbus-daemon named in DBUS_SYSTEM_BUS_ADDRESS).
#include "platform/linux/logindidlesleepinhibitor.h"

#include "awaittask.h"
#include "logcapture.h"
#include "privatebus.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDBusVirtualObject>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const QString kReason = QStringLiteral("Veltrine needs to listen for global hotkeys at all times");

// logind's Inhibit: notes the arguments and hands back the write end of a
// pipe. The read end stays here: it hangs up once no copy of the handed-back
// descriptor is open any more, that is once the lock is released.
class LogindManagerStandIn final : public QDBusVirtualObject {
 public:
  ~LogindManagerStandIn() override { ::close(lockEnd_); }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    const bool inhibit = message.interface() == QStringLiteral("org.freedesktop.login1.Manager") &&
                         message.member() == QStringLiteral("Inhibit");
    int ends[2];
    if (!inhibit || ::pipe2(ends, O_CLOEXEC) != 0) return false;
    inhibitArguments.append(message.arguments());
    lockEnd_ = ends[0];
    connection.send(message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]))));
    ::close(ends[1]);  // the reply carried a copy of its own
    return true;
  }
  QString introspect(const QString&) const override { return {}; }

  bool released() const {
    pollfd lock{lockEnd_, POLLIN, 0};
    return ::poll(&lock, 1, 0) == 1 && (lock.revents & POLLHUP);
  }

  QList<QVariantList> inhibitArguments;

 private:
  int lockEnd_ = -1;
};

TEST(LogindIdleSleepInhibitor, AsksForAnIdleBlockLockAndKeepsItsDescriptorUntilTheHoldGoes) {
  PrivateBus bus;
  ASSERT_TRUE(bus.start());
  const QString address = bus.address();
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
  LogindManagerStandIn logind;
  QDBusConnection standIn = QDBusConnection::connectToBus(address, QStringLiteral("logind"));
  ASSERT_TRUE(standIn.registerService(QStringLiteral("org.freedesktop.login1")));
  ASSERT_TRUE(standIn.registerVirtualObject(QStringLiteral("/org/freedesktop/login1"), &logind));

  LogCapture log;
  std::unique_ptr<IdleSleepInhibitor::Hold> hold = LogindIdleSleepInhibitor().holdOff(kReason);
  ASSERT_TRUE(waitUntil([&] { return !log.texts(QStringLiteral("AppDelegate")).isEmpty(); }));
  EXPECT_EQ(log.texts(QStringLiteral("AppDelegate")),
            QStringList{QStringLiteral("Idle sleep held off while the program runs (logind inhibitor)")});
  EXPECT_EQ(logind.inhibitArguments, (QList<QVariantList>{{QStringLiteral("idle"), QStringLiteral("Veltrine"), kReason,
                                                           QStringLiteral("block")}}));
  // Given every chance to fall, the lock stays while the hold lives.
  EXPECT_FALSE(waitUntil([&] { return logind.released(); }, 300ms));
  hold.reset();
  EXPECT_TRUE(waitUntil([&] { return logind.released(); }));
  QDBusConnection::disconnectFromBus(QStringLiteral("logind"));
}

// A container or a bare X session: no system bus at all.
TEST(LogindIdleSleepInhibitor, WithoutASystemBusTheProgramGoesOnAndSaysSo) {
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + QFile::encodeName(TestEnvironment::root()) + "/no-bus");
  LogCapture log;
  EXPECT_NE(LogindIdleSleepInhibitor().holdOff(kReason), nullptr);
  ASSERT_EQ(log.texts(QStringLiteral("AppDelegate")).size(), 1);
  EXPECT_TRUE(log.texts(QStringLiteral("AppDelegate"))[0].startsWith(QStringLiteral("Idle sleep is not held off")));
}

}  // namespace
