#include "platform/linux/sysfsmachineinfo.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Firmware without a UUID of its own fills the field with zeros or ones;
// taking it would give many machines the same identity.
bool isPlaceholderUUID(const QString& uuid) {
  QString digits = uuid;
  digits.remove(u'-');
  static const QRegularExpression placeholder(QStringLiteral("^(0+|[fF]+)\\z"));
  return placeholder.match(digits).hasMatch();
}

std::optional<QString> uuidFromMachineId(const QString& machineId) {
  static const QRegularExpression form(QStringLiteral("^[0-9a-fA-F]{32}\\z"));
  if (!form.match(machineId).hasMatch()) return std::nullopt;  // e.g. "uninitialized" early in boot
  const QString hex = machineId.toUpper();
  return QStringLiteral("%1-%2-%3-%4-%5")
      .arg(hex.mid(0, 8), hex.mid(8, 4), hex.mid(12, 4), hex.mid(16, 4), hex.mid(20, 12));
}

}  // namespace

SysfsMachineInfo::SysfsMachineInfo(QString root) : root_(std::move(root)) {}

QString SysfsMachineInfo::path(const QString& relativePath) const { return QDir(root_).filePath(relativePath); }

std::optional<QString> SysfsMachineInfo::read(const QString& relativePath) const {
  QFile file(path(relativePath));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QString text = QString::fromUtf8(file.readAll());
  if (text.endsWith(u'\n')) text.chop(1);
  return text;
}

std::optional<QString> SysfsMachineInfo::platformUUID() {
  const std::optional<QString> firmware = read(QStringLiteral("sys/class/dmi/id/product_uuid"));
  if (firmware && !firmware->isEmpty() && !isPlaceholderUUID(*firmware)) return firmware;
  if (const std::optional<QString> machineId = read(QStringLiteral("etc/machine-id"))) {
    return uuidFromMachineId(*machineId);
  }
  return std::nullopt;
}

QStringList SysfsMachineInfo::diskSerials() {
  QStringList serials;
  const QStringList disks =
      QDir(path(QStringLiteral("sys/block"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString& disk : disks) {
    for (const QString& attribute : {QStringLiteral("device/serial"), QStringLiteral("serial")}) {
      if (const auto serial = read(QStringLiteral("sys/block/%1/%2").arg(disk, attribute))) serials << *serial;
    }
    const std::optional<QString> number = read(QStringLiteral("sys/block/%1/dev").arg(disk));  // "8:0"
    if (!number) continue;
    const std::optional<QString> record = read(QStringLiteral("run/udev/data/b%1").arg(*number));
    if (!record) continue;
    for (const QString& line : record->split(u'\n')) {
      if (line.startsWith(QLatin1String("E:ID_SERIAL_SHORT="))) serials << line.section(u'=', 1);
    }
  }
  return serials;
}

int SysfsMachineInfo::processorCount() {
  static const QRegularExpression cpu(QStringLiteral("^cpu[0-9]+$"));
  const QStringList entries =
      QDir(path(QStringLiteral("sys/devices/system/cpu"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  return static_cast<int>(std::count_if(entries.begin(), entries.end(),
                                        [](const QString& entry) { return cpu.match(entry).hasMatch(); }));
}

quint64 SysfsMachineInfo::physicalMemory() {
  static const QRegularExpression total(QStringLiteral(R"(^MemTotal:\s+(\d+) kB$)"),
                                        QRegularExpression::MultilineOption);
  const QRegularExpressionMatch match = total.match(read(QStringLiteral("proc/meminfo")).value_or(QString()));
  return match.hasMatch() ? match.captured(1).toULongLong() * 1024 : 0;
}
