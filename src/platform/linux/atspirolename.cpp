#include "platform/linux/atspirolename.h"

#include <QStringList>

#include <atspi/atspi.h>

bool roleNameDependsOnLines(AtspiRole role) {
  switch (role) {
    case ATSPI_ROLE_TEXT:
    case ATSPI_ROLE_ENTRY:
    case ATSPI_ROLE_PASSWORD_TEXT:
    case ATSPI_ROLE_EDITBAR:
      return true;
    default:
      return false;
  }
}

QString axRoleName(AtspiRole role, bool multiLine) {
  if (roleNameDependsOnLines(role)) return multiLine ? QStringLiteral("AXTextArea") : QStringLiteral("AXTextField");
  switch (role) {
    case ATSPI_ROLE_DOCUMENT_TEXT:
    case ATSPI_ROLE_TERMINAL:
      return QStringLiteral("AXTextArea");
    case ATSPI_ROLE_COMBO_BOX:
      return QStringLiteral("AXComboBox");
    default:
      break;
  }
  gchar* atspiName = atspi_role_get_name(role);
  QString name = QStringLiteral("AX");
  for (const QString& word : QString::fromUtf8(atspiName).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    name += word.at(0).toUpper() + word.mid(1);
  }
  g_free(atspiName);
  return name;
}
