#include "service/deviceidentity.h"

#include "core/hashes.h"
#include "platform/machineinfo.h"

#include <QStringList>
#include <QUuid>

namespace DeviceIdentity {
namespace {

// Spaces of every kind (Unicode space separators) and tabs; not line breaks.
bool isBlank(QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; }

QString trimmedOfSpaces(const QString& text) {
  qsizetype start = 0;
  qsizetype end = text.size();
  while (start < end && isBlank(text.at(start))) ++start;
  while (end > start && isBlank(text.at(end - 1))) --end;
  return text.mid(start, end - start);
}

}  // namespace

QString deviceId() {
  if (std::optional<QString> uuid = MachineInfo::current().platformUUID()) return *uuid;
  static const QString fallback = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
  return fallback;
}

QString diskSerial() {
  for (const QString& serial : MachineInfo::current().diskSerials()) {
    const QString trimmed = trimmedOfSpaces(serial);
    if (!trimmed.isEmpty()) return trimmed;
  }
  return QStringLiteral("unknown_disk");
}

QString hardwareFingerprint() {
  MachineInfo& machine = MachineInfo::current();
  const QString source = QStringList{deviceId(), QString::number(machine.processorCount()),
                                     QString::number(machine.physicalMemory()), diskSerial()}
                             .join(u'|');
  return Hashes::sha256Hex(source.toUtf8());
}

}  // namespace DeviceIdentity
