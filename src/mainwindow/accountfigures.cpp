#include "mainwindow/accountfigures.h"

#include "localization/appstrings.h"
#include "theme/palette.h"

#include <algorithm>

namespace AccountFigures {

QString tierText(const QString& tier) {
  if (tier == QLatin1String("trial")) return currentStrings().tierTrial;
  if (tier.isEmpty() || tier == QLatin1String("none")) return currentStrings().tierNone;
  return tier.toUpper();
}

bool showsCredits(const QString& tier, qint64 creditsTotal) {
  return tier == QLatin1String("trial") || creditsTotal >= 1;
}

double creditsFraction(qint64 remaining, qint64 total) {
  if (total < 1) return 0;
  return std::clamp(double(remaining) / double(total), 0.0, 1.0);
}

QColor creditsColor(double fraction) {
  if (fraction > 0.5) return Palette::neonGreen;
  if (fraction > 0.2) return Palette::neonOrange;
  return Palette::neonRed;
}

QString creditsText(qint64 remaining, qint64 total) {
  return QStringLiteral("%1 / %2").arg(remaining).arg(total);
}

QLocale dateLocale(AppLanguage language) {
  switch (language) {
    case AppLanguage::zh:
      return QLocale(QStringLiteral("zh_CN"));
    case AppLanguage::zhHant:
      return QLocale(QStringLiteral("zh_TW"));
    case AppLanguage::yue:
      return QLocale(QStringLiteral("zh_HK"));
    case AppLanguage::en:
      break;
    case AppLanguage::ru:
      return QLocale(QStringLiteral("ru_RU"));
    case AppLanguage::ko:
      return QLocale(QStringLiteral("ko_KR"));
  }
  return QLocale(QStringLiteral("en_US"));
}

}  // namespace AccountFigures
