#include "onboarding/examplechip.h"

#include "onboarding/roundedplate.h"
#include "theme/fonts.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr qreal kSymbolSize = 10;
constexpr qreal kSpacing = 8;
constexpr qreal kPaddingX = 12;
constexpr qreal kPaddingY = 6;
}  // namespace

ExampleChip::ExampleChip(const QColor& accent, QWidget* parent) : QWidget(parent), accent_(accent) {
  setFont(rajdhaniSemiBold(13));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ExampleChip::setExample(const QString& example) {
  // The same brackets in every language.
  text_ = QStringLiteral("「") + example + QStringLiteral("」");
  updateGeometry();
  update();
}

QSize ExampleChip::sizeHint() const {
  const QFontMetricsF metrics(font());
  const qreal side = SymbolImage::boxSide(kSymbolSize);
  const qreal width = 2 * kPaddingX + side + kSpacing + metrics.horizontalAdvance(text_);
  const qreal height = 2 * kPaddingY + std::max(side, metrics.height());
  return QSize(int(std::ceil(width)), int(std::ceil(height)));
}

void ExampleChip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  paintRoundedPlate(painter, QRectF(rect()), 6, Palette::withOpacity(accent_, 0.06), Palette::withOpacity(accent_, 0.2),
                    0.8);

  const qreal side = SymbolImage::boxSide(kSymbolSize);
  const qreal middle = height() / 2.0;
  SymbolImage::paint(painter, QRectF(kPaddingX, middle - side / 2, side, side), QStringLiteral("waveform"),
                     Palette::withOpacity(accent_, 0.6));
  painter.setFont(font());
  painter.setPen(accent_);
  const qreal textLeft = kPaddingX + side + kSpacing;
  painter.drawText(QRectF(textLeft, 0, width() - textLeft, height()), Qt::AlignLeft | Qt::AlignVCenter, text_);
}
