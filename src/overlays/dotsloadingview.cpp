#include "overlays/dotsloadingview.h"

#include "theme/easedvalue.h"
#include "theme/glow.h"
#include "theme/palette.h"

#include <QPainter>

namespace {
int positiveModulo(int value, int divisor) { return ((value % divisor) + divisor) % divisor; }
}  // namespace

int DotsLoadingView::activeIndex() const { return dotCount > 0 ? positiveModulo(phase, dotCount) : -1; }

int DotsLoadingView::trailingIndex() const {
  return dotCount > 0 ? positiveModulo(phase - 1 + dotCount, dotCount) : -1;
}

qreal DotsLoadingView::diameter(int index) const { return index == activeIndex() ? 8 : 6; }

QColor DotsLoadingView::color(int index) const {
  if (index == activeIndex()) return Palette::neonYellow;
  if (index == trailingIndex()) return Palette::withOpacity(Palette::neonYellow, 0.5);
  return Palette::withOpacity(Palette::cyberTextTertiary, 0.3);
}

qreal DotsLoadingView::shownDiameter(int index) const {
  const qreal from = DotsLoadingView{fromPhase, dotCount}.diameter(index);
  return from + (diameter(index) - from) * progress;
}

QColor DotsLoadingView::shownColor(int index) const {
  return mixColors(DotsLoadingView{fromPhase, dotCount}.color(index), color(index), progress);
}

void DotsLoadingView::paint(QPainter& painter, const QRectF& rect) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  qreal x = rect.left();
  const qreal centreY = rect.top() + height / 2;
  for (int i = 0; i < dotCount; ++i) {
    const qreal d = shownDiameter(i);
    const QRectF dot(x, centreY - d / 2, d, d);
    const QColor c = shownColor(i);
    Glow{Palette::withOpacity(c, 0.5), 2}.paint(painter, dot, [&](QPainter& target) {
      target.setPen(Qt::NoPen);
      target.setBrush(c);
      target.drawEllipse(dot);
    });
    x += d + spacing;
  }
  painter.restore();
}
