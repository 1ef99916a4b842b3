#include "service/deviceidentity.h"

#include "platform/machineinfo.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QString sha256(const QByteArray& source) {
  return QString::fromLatin1(QCryptographicHash::hash(source, QCryptographicHash::Sha256).toHex());
}

// A machine that reports exactly what the test says: four processors and 8 GiB.
class StatedMachine final : public MachineInfo {
 public:
  StatedMachine(std::optional<QString> uuid, QStringList serials) : uuid_(std::move(uuid)), serials_(std::move(serials)) {
    MachineInfo::install(this);
  }
  ~StatedMachine() override { MachineInfo::install(nullptr); }
  std::optional<QString> platformUUID() override { return uuid_; }
  QStringList diskSerials() override { return serials_; }
  int processorCount() override { return 4; }
  quint64 physicalMemory() override { return 8589934592; }

 private:
  std::optional<QString> uuid_;
  QStringList serials_;
};

TEST(DeviceIdentity, TheFingerprintHashesTheMachinesIdentityOrAKeptRandomId) {
  {
    StatedMachine known(QStringLiteral("4C4C4544-0042-3510-8051-B7C04F4E3732"), {QStringLiteral("S4EWNX0R123456")});
    EXPECT_EQ(DeviceIdentity::deviceId(), QStringLiteral("4C4C4544-0042-3510-8051-B7C04F4E3732"));
    // SHA-256 of "4C4C4544-0042-3510-8051-B7C04F4E3732|4|8589934592|S4EWNX0R123456".
    EXPECT_EQ(DeviceIdentity::hardwareFingerprint(),
              QStringLiteral("0ad12068b7eb0435b98a27cdad9c939fdc5c082e1bda77628b59511ccd96d7de"));
  }
  // No identity: a random id kept for the process; blank serials are passed over, spaces trimmed.
  StatedMachine anonymous(std::nullopt, {QStringLiteral(" \t\u3000"), QStringLiteral("\u00a0S1 ")});
  const QString id = DeviceIdentity::deviceId();
  static const QRegularExpression uuid(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
  EXPECT_TRUE(uuid.match(id).hasMatch()) << id.toStdString();
  EXPECT_EQ(DeviceIdentity::deviceId(), id);
  EXPECT_EQ(DeviceIdentity::hardwareFingerprint(), sha256(id.toUtf8() + "|4|8589934592|S1"));
}

}  // namespace
