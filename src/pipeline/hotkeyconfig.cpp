#include "pipeline/hotkeyconfig.h"

#include "platform/virtualkeycodes.h"

#include <QHash>
#include <QStringList>

using namespace VirtualKeyCodes;

QString HotKeyConfig::displayString() const {
  QStringList parts;
  if (requiresFn) parts << QStringLiteral("Fn");
  const quint64 bits = static_cast<quint64>(modifiers);
  if (bits & kControlFlag) parts << QStringLiteral("Ctrl");
  if (bits & kOptionFlag) parts << QStringLiteral("Alt");
  if (bits & kShiftFlag) parts << QStringLiteral("Shift");
  if (bits & kCommandFlag) parts << QStringLiteral("Super");
  if (keyCode >= 0) parts << keyName(keyCode);
  return parts.join(QLatin1Char('+'));
}

QString HotKeyConfig::keyName(qint64 keyCode) {
  static const QHash<qint64, QString> names{
      {0, QStringLiteral("A")},  {11, QStringLiteral("B")}, {8, QStringLiteral("C")},  {2, QStringLiteral("D")},
      {14, QStringLiteral("E")}, {3, QStringLiteral("F")},  {5, QStringLiteral("G")},  {4, QStringLiteral("H")},
      {34, QStringLiteral("I")}, {38, QStringLiteral("J")}, {40, QStringLiteral("K")}, {37, QStringLiteral("L")},
      {46, QStringLiteral("M")}, {45, QStringLiteral("N")}, {31, QStringLiteral("O")}, {35, QStringLiteral("P")},
      {12, QStringLiteral("Q")}, {15, QStringLiteral("R")}, {1, QStringLiteral("S")},  {17, QStringLiteral("T")},
      {32, QStringLiteral("U")}, {9, QStringLiteral("V")},  {13, QStringLiteral("W")}, {7, QStringLiteral("X")},
      {16, QStringLiteral("Y")}, {6, QStringLiteral("Z")},  {49, QStringLiteral("Space")}, {36, QStringLiteral("Return")},
  };
  const auto name = names.constFind(keyCode);
  return name != names.constEnd() ? *name : QStringLiteral("Key(%1)").arg(keyCode);
}
