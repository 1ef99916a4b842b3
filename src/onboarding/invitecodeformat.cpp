#include "onboarding/invitecodeformat.h"

const QString& InviteCodeFormat::alphabet() {
  static const QString characters = QStringLiteral("ABCDEFGHJKMNPQRSTUVWXYZ23456789");
  return characters;
}

QString InviteCodeFormat::clean(const QString& text) {
  QString kept;
  for (const QChar character : text) {
    if (alphabet().contains(character)) kept.append(character);
  }
  return kept;
}

QString InviteCodeFormat::format(const QString& text) {
  const QString code = clean(text.toUpper()).left(length);
  if (code.size() < 5) return code;
  return code.left(4) + QLatin1Char('-') + code.mid(4);
}
