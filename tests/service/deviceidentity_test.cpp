#include "service/deviceidentity.h"

#include "platform/linux/sysfsmachineinfo.h"
#include "testenvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QString sha256(const QByteArray& source) {
  return QString::fromLatin1(QCryptographicHash::hash(source, QCryptographicHash::Sha256).toHex());
}

// A machine with four processors, 8 GiB and an NVMe disk whose serial the
// driver pads with spaces; with or without a platform UUID.
QString machineRoot(bool withPlatformUUID) {
  const QString root = TestEnvironment::root() + (withPlatformUUID ? QStringLiteral("/m1") : QStringLiteral("/m2"));
  const auto write = [&root](const char* relative, const QByteArray& contents) {
    const QString path = root + u'/' + QLatin1String(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
  };
  if (withPlatformUUID) write("sys/class/dmi/id/product_uuid", "4C4C4544-0042-3510-8051-B7C04F4E3732\n");
  for (int cpu = 0; cpu < 4; ++cpu) QDir().mkpath(root + QStringLiteral("/sys/devices/system/cpu/cpu%1").arg(cpu));
  write("proc/meminfo", "MemTotal:        8388608 kB\nMemFree:         1234 kB\n");
  write("sys/block/nvme0n1/device/serial", "  S4EWNX0R123456      \n");
  return root;
}

class StatedMachine final : public MachineInfo {
 public:
  explicit StatedMachine(QStringList serials) : serials_(std::move(serials)) {}
  std::optional<QString> platformUUID() override { return QStringLiteral("U"); }
  QStringList diskSerials() override { return serials_; }
  int processorCount() override { return 1; }
  quint64 physicalMemory() override { return 1; }

 private:
  QStringList serials_;
};

class DeviceIdentityTest : public ::testing::Test {
 protected:
  ~DeviceIdentityTest() override { MachineInfo::install(nullptr); }
};

TEST_F(DeviceIdentityTest, TheFingerprintHashesTheMachinesIdentityAndAKeptIdWithoutOne) {
  SysfsMachineInfo known(machineRoot(true));
  MachineInfo::install(&known);
  EXPECT_EQ(DeviceIdentity::deviceId(), QStringLiteral("4C4C4544-0042-3510-8051-B7C04F4E3732"));
  EXPECT_EQ(DeviceIdentity::diskSerial(), QStringLiteral("S4EWNX0R123456"));
  EXPECT_EQ(DeviceIdentity::hardwareFingerprint(),
            QStringLiteral("0ad12068b7eb0435b98a27cdad9c939fdc5c082e1bda77628b59511ccd96d7de"));

  SysfsMachineInfo anonymous(machineRoot(false));
  MachineInfo::install(&anonymous);
  const QString id = DeviceIdentity::deviceId();
  static const QRegularExpression uuid(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
  EXPECT_TRUE(uuid.match(id).hasMatch()) << id.toStdString();
  EXPECT_EQ(DeviceIdentity::deviceId(), id);
  EXPECT_EQ(DeviceIdentity::hardwareFingerprint(), sha256(id.toUtf8() + "|4|8589934592|S4EWNX0R123456"));
}

TEST_F(DeviceIdentityTest, TheDiskSerialIsTheFirstThatIsNotBlank) {
  const struct {
    QStringList serials;
    QString expected;
  } cases[] = {
      {{}, QStringLiteral("unknown_disk")},
      {{QString(), QStringLiteral(" \t "), QStringLiteral("\u3000\u00a0")}, QStringLiteral("unknown_disk")},
      {{QStringLiteral("   "), QStringLiteral("X1"), QStringLiteral("X2")}, QStringLiteral("X1")},
      {{QStringLiteral("\u3000C\u00a0")}, QStringLiteral("C")},
      {{QStringLiteral(" D\n")}, QStringLiteral("D\n")},
  };
  for (const auto& c : cases) {
    StatedMachine machine(c.serials);
    MachineInfo::install(&machine);
    EXPECT_EQ(DeviceIdentity::diskSerial(), c.expected) << c.serials.join(u',').toStdString();
    EXPECT_EQ(DeviceIdentity::hardwareFingerprint(), sha256("U|1|1|" + c.expected.toUtf8()));
  }
}

}  // namespace
