#include "theme/fonts.h"

#include "theme/fontbook.h"

QString rajdhaniFaceName(QFont::Weight weight) {
  if (weight == QFont::Bold || weight == QFont::Black || weight == QFont::ExtraBold) {
    return QStringLiteral("Rajdhani-Bold");
  }
  if (weight == QFont::DemiBold) return QStringLiteral("Rajdhani-SemiBold");
  return QStringLiteral("Rajdhani-Medium");  // there is no lighter Rajdhani face
}

QString orbitronFaceName(QFont::Weight weight) {
  if (weight == QFont::Black || weight == QFont::ExtraBold) return QStringLiteral("Orbitron-Black");
  return QStringLiteral("Orbitron-Bold");
}

QFont rajdhaniFont(qreal size, QFont::Weight weight) { return FontBook::shared().font(rajdhaniFaceName(weight), size); }

QFont rajdhaniMedium(qreal size) { return rajdhaniFont(size, QFont::Medium); }

QFont rajdhaniSemiBold(qreal size) { return rajdhaniFont(size, QFont::DemiBold); }

QFont rajdhaniBold(qreal size) { return rajdhaniFont(size, QFont::Bold); }

QFont orbitronFont(qreal size, QFont::Weight weight) { return FontBook::shared().font(orbitronFaceName(weight), size); }
