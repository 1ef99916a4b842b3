#include "platform/linux/sysfsmachineinfo.h"
#include "testenvironment.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using Files = QList<QPair<const char*, QByteArray>>;

// A fresh folder laid out like "/" with the given files.
QString rootWith(const Files& files) {
  static int count = 0;
  const QString root = TestEnvironment::root() + QStringLiteral("/machine%1").arg(++count);
  QDir().mkpath(root);
  for (const auto& [relativePath, contents] : files) {
    const QString path = root + u'/' + QLatin1String(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
  }
  return root;
}

TEST(SysfsMachineInfo, PlatformUUIDFromTheFirmwareElseTheMachineId) {
  const char* product = "sys/class/dmi/id/product_uuid";
  const char* id = "etc/machine-id";
  const QByteArray machineId = "0123456789abcdef0123456789abcdef\n";
  const QString fromMachineId = QStringLiteral("01234567-89AB-CDEF-0123-456789ABCDEF");
  const std::pair<Files, std::optional<QString>> cases[] = {
      {{{product, "4c4c4544-0042-3510-8051-b7c04f4e3732\n"}, {id, machineId}}, QStringLiteral("4c4c4544-0042-3510-8051-b7c04f4e3732")},
      {{{id, machineId}}, fromMachineId},
      {{{product, "00000000-0000-0000-0000-000000000000\n"}, {id, machineId}}, fromMachineId},  // placeholders
      {{{product, "FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF\n"}}, std::nullopt},
      {{{product, "\n"}, {id, machineId.trimmed()}}, fromMachineId},
      {{{id, "uninitialized\n"}}, std::nullopt},
      {{{id, "0123456789abcdef\n"}}, std::nullopt},
      {{}, std::nullopt},
  };
  for (const auto& [files, expected] : cases) {
    EXPECT_EQ(SysfsMachineInfo(rootWith(files)).platformUUID(), expected) << (files.isEmpty() ? "" : files.last().second.constData());
  }
}

TEST(SysfsMachineInfo, DisksProcessorsAndMemoryFromTheSystemFiles) {
  const QString root = rootWith({
      {"sys/block/loop0/dev", "7:0\n"},
      {"sys/block/sda/dev", "8:0\n"},
      {"run/udev/data/b8:0", "S:disk/by-id/ata-X\nE:ID_SERIAL=WDC_WD10-1_WD-123\nE:ID_SERIAL_SHORT=WD-123\n"},
      {"sys/block/nvme0n1/device/serial", "  S4EW      \n"},
      {"sys/block/vda/serial", "VIRT\n"},
      {"proc/meminfo", "MemTotal:       16314428 kB\nMemFree:  1 kB\n"},
  });
  for (const char* entry : {"cpu0", "cpu1", "cpu2", "cpu10", "cpufreq", "cpuidle"}) {
    QDir().mkpath(root + QStringLiteral("/sys/devices/system/cpu/") + QLatin1String(entry));
  }
  SysfsMachineInfo machine(root);
  EXPECT_EQ(machine.diskSerials(), (QStringList{"  S4EW      ", "WD-123", "VIRT"}));
  EXPECT_EQ(machine.processorCount(), 4);
  EXPECT_EQ(machine.physicalMemory(), 16314428ULL * 1024);
  SysfsMachineInfo empty(rootWith({}));
  EXPECT_TRUE(empty.diskSerials().isEmpty() && empty.processorCount() == 0 && empty.physicalMemory() == 0U);
}

}  // namespace
