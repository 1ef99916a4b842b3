#include "onboarding/languagerow.h"

#include "theme/fonts.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {
constexpr qreal kPaddingX = 14;
constexpr qreal kPaddingY = 8;
constexpr qreal kSpacing = 10;
constexpr qreal kCheckSize = 11;
constexpr qreal kCornerRadius = 5;
}  // namespace

LanguageRow::LanguageRow(AppLanguage language, QWidget* parent) : QAbstractButton(parent), language_(language) {
  setText(displayName(language));
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void LanguageRow::setCurrent(bool current) {
  current_ = current;
  update();
}

QSize LanguageRow::sizeHint() const {
  const QFontMetricsF metrics(rajdhaniSemiBold(13));
  const qreal width = kPaddingX + metrics.horizontalAdvance(text()) + kSpacing + SymbolImage::boxSide(kCheckSize) +
                      kPaddingX;
  return QSize(int(std::ceil(width)), int(std::ceil(metrics.height() + 2 * kPaddingY)));
}

void LanguageRow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (current_) {
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(shape, Palette::withOpacity(Palette::neonCyan, 0.1));
  }
  const QRectF content = QRectF(rect()).adjusted(kPaddingX, kPaddingY, -kPaddingX, -kPaddingY);
  const QColor nameColor = current_ ? Palette::neonCyan : Palette::cyberTextSecondary;
  // A plain button dims its label while pressed.
  painter.setPen(isDown() ? Palette::withOpacity(nameColor, 0.5) : nameColor);
  painter.setFont(rajdhaniSemiBold(13));
  painter.drawText(content, Qt::AlignLeft | Qt::AlignVCenter, text());
  if (current_) {
    const qreal side = SymbolImage::boxSide(kCheckSize);
    const QRectF box(content.right() - side, content.center().y() - side / 2, side, side);
    SymbolImage::paint(painter, box, QStringLiteral("checkmark"), Palette::neonCyan);
  }
}
