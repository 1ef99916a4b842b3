#include "mainwindow/moduleindicator.h"

#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QPainter>

#include <cmath>

using namespace Palette;

namespace {
constexpr qreal kSymbolSize = 11;
constexpr qreal kSpacing = 4;
constexpr qreal kDot = 5;
}  // namespace

ModuleIndicator::ModuleIndicator(const QString& symbol, const QColor& accent, QWidget* parent)
    : QWidget(parent), symbol_(symbol), accent_(accent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setState(false, false);
}

void ModuleIndicator::setState(bool enabled, bool hasPrompt) {
  symbolColor_ = enabled ? accent_ : withOpacity(cyberTextTertiary, 0.4);
  if (enabled) {
    dotColor_ = accent_;
  } else {
    dotColor_ = hasPrompt ? withOpacity(cyberTextTertiary, 0.3) : clear;
  }
  update();
}

QSize ModuleIndicator::sizeHint() const {
  const qreal side = SymbolImage::boxSide(kSymbolSize);
  return QSize(int(std::ceil(side + kSpacing + kDot)), int(std::ceil(side)));
}

void ModuleIndicator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = SymbolImage::boxSide(kSymbolSize);
  const qreal middle = height() / 2.0;
  SymbolImage::paint(painter, QRectF(0, middle - side / 2, side, side), symbol_, symbolColor_);
  painter.setPen(Qt::NoPen);
  painter.setBrush(dotColor_);
  painter.drawEllipse(QRectF(side + kSpacing, middle - kDot / 2, kDot, kDot));
}
