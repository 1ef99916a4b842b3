#include "overlays/chipbutton.h"

#include "theme/fonts.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

#include <algorithm>

namespace {

constexpr qreal kPaddingX = 10;
constexpr qreal kPaddingY = 5;
constexpr qreal kSpacing = 4;
constexpr qreal kSymbolSize = 10;
constexpr qreal kRadius = 8;

QFont labelFont() { return rajdhaniSemiBold(11); }

}  // namespace

ChipButton::ChipButton(QWidget* parent)
    : QAbstractButton(parent), shown_(new EasedValue(QColor(), 200, QEasingCurve::InOutQuad, this)) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ChipButton::setChip(const QString& symbol, const QString& label, const QColor& accent) {
  symbol_ = symbol;
  // The first look is drawn at once; later ones ease in from the colour drawn.
  if (accent_.isValid()) {
    shown_->setTarget(accent);
  } else {
    shown_->jumpTo(accent);
  }
  accent_ = accent;
  setText(label);
  updateGeometry();
  update();
}

QSize ChipButton::sizeHint() const {
  const QFontMetricsF metrics(labelFont());
  const qreal symbol = SymbolImage::boxSide(kSymbolSize);
  const qreal width = kPaddingX * 2 + symbol + kSpacing + metrics.horizontalAdvance(text());
  const qreal height = kPaddingY * 2 + std::max(symbol, metrics.height());
  return QSize(qCeil(width), qCeil(height));
}

void ChipButton::paintEvent(QPaintEvent*) {
  const QColor accent = shownAccent();
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF chip = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setPen(QPen(Palette::withOpacity(accent, 0.35), 1));
  painter.setBrush(Palette::withOpacity(accent, isDown() ? 0.16 : 0.08));
  painter.drawRoundedRect(chip, kRadius, kRadius);

  const qreal side = SymbolImage::boxSide(kSymbolSize);
  const QRectF symbol(kPaddingX, (height() - side) / 2, side, side);
  SymbolImage::paint(painter, symbol, symbol_, accent);
  painter.setFont(labelFont());
  painter.setPen(accent);
  painter.drawText(QRectF(symbol.right() + kSpacing, 0, width() - symbol.right() - kSpacing, height()),
                   Qt::AlignLeft | Qt::AlignVCenter, text());
}
