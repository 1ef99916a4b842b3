// fcitx5 as a paste reaches it, on a session bus of the test's own: switched
// off and on again only while it composes, and never started by the bus for a
// user who does not run it. (With the real fcitx5: tests/pipeline's
// inputmethod_desktop_test.cpp.)
#include "platform/linux/fcitx5inputmethod.h"

#include "awaittask.h"
#include "privatebus.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

const QString kService = QStringLiteral("org.fcitx.Fcitx5");

// fcitx5's controller in a given state (1 off, 2 composing); notes every call.
class ControllerStandIn final : public QDBusVirtualObject {
 public:
  explicit ControllerStandIn(int state) : state_(state) {}

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.interface() != QStringLiteral("org.fcitx.Fcitx.Controller1")) return false;
    calls << message.member();
    connection.send(message.member() == u"State" ? message.createReply(state_) : message.createReply());
    return true;
  }
  QString introspect(const QString&) const override { return {}; }

  QStringList calls;

 private:
  int state_;
};

class Fcitx5InputMethodTest : public ::testing::TestWithParam<int> {};

TEST_P(Fcitx5InputMethodTest, SwitchesOffAndOnAgainOnlyWhileComposing) {
  PrivateBus bus;
  ASSERT_TRUE(bus.start());
  QDBusConnection services = QDBusConnection::connectToBus(bus.address(), QStringLiteral("services"));
  ControllerStandIn controller(GetParam());
  ASSERT_TRUE(services.registerVirtualObject(QStringLiteral("/controller"), &controller));
  ASSERT_TRUE(services.registerService(kService));

  // The stand-in answers from this thread's event loop: the paste's calls go
  // out from another one, as from the program's main thread to fcitx5.
  bool committed = false;
  std::thread paste([&] {
    committed = Fcitx5InputMethod(QDBusConnection::connectToBus(bus.address(), QStringLiteral("program")))
                    .commitComposition();
  });
  const bool ended = waitUntil([&] { return controller.calls.size() == (GetParam() == 2 ? 3 : 1); }, 5s);
  paste.join();
  ASSERT_TRUE(ended) << controller.calls.join(u' ').toStdString();
  EXPECT_EQ(committed, GetParam() == 2);
  const QStringList expected = GetParam() == 2 ? QStringList{"State", "Deactivate", "Activate"} : QStringList{"State"};
  EXPECT_EQ(controller.calls, expected);
  QDBusConnection::disconnectFromBus(QStringLiteral("program"));
  QDBusConnection::disconnectFromBus(QStringLiteral("services"));
}

INSTANTIATE_TEST_SUITE_P(States, Fcitx5InputMethodTest, ::testing::Values(1, 2),
                         [](const auto& info) { return info.param == 2 ? "Composing" : "SwitchedOff"; });

// The bus could start fcitx5 (its package says how): a paste where fcitx5 does
// not run starts nothing.
TEST(Fcitx5InputMethod, WhereFcitx5DoesNotRunAPasteStartsNothing) {
  const QString services = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/dbus-1/services";
  const QString started = TestEnvironment::root() + "/fcitx5-started";
  ASSERT_TRUE(QDir().mkpath(services));
  QFile file(services + '/' + kService + ".service");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(("[D-BUS Service]\nName=" + kService + "\nExec=/usr/bin/touch " + started + "\n").toUtf8());
  file.close();
  PrivateBus bus;
  ASSERT_TRUE(bus.start());

  EXPECT_FALSE(Fcitx5InputMethod(QDBusConnection::connectToBus(bus.address(), QStringLiteral("program")))
                   .commitComposition());
  EXPECT_FALSE(waitUntil([&] { return QFile::exists(started); }, 300ms));
  QDBusConnection::disconnectFromBus(QStringLiteral("program"));
}

}  // namespace
