#include "theme/fonttables.h"

#include <QRawFont>
#include <QtEndian>

namespace {

quint16 readU16(const QByteArray& table, qsizetype offset) {
  if (offset < 0 || offset + 2 > table.size()) return 0;
  return qFromBigEndian<quint16>(table.constData() + offset);
}

}  // namespace

namespace FontTables {

QString postScriptName(const QRawFont& font) {
  const QByteArray table = font.fontTable("name");
  const quint16 count = readU16(table, 2);
  const quint16 stringsOffset = readU16(table, 4);
  QString macRoman;
  for (quint16 i = 0; i < count; ++i) {
    const qsizetype record = 6 + qsizetype(i) * 12;
    if (record + 12 > table.size()) break;
    const quint16 platform = readU16(table, record);
    const quint16 nameId = readU16(table, record + 6);
    const quint16 length = readU16(table, record + 8);
    const qsizetype start = qsizetype(stringsOffset) + readU16(table, record + 10);
    if (nameId != 6 || start + length > table.size()) continue;
    const char* bytes = table.constData() + start;
    if (platform == 0 || platform == 3) {
      // Unicode and Windows names are UTF-16 big-endian; prefer them.
      QString name;
      for (quint16 at = 0; at + 1 < length; at += 2) name.append(QChar(qFromBigEndian<quint16>(bytes + at)));
      return name;
    }
    if (platform == 1) macRoman = QString::fromLatin1(bytes, length);
  }
  return macRoman;
}

int weightClass(const QRawFont& font) { return readU16(font.fontTable("OS/2"), 4); }

}  // namespace FontTables
