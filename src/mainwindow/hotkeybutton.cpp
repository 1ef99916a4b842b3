#include "mainwindow/hotkeybutton.h"

#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace Palette;

namespace {
constexpr qreal kMinimumWidth = 110;
constexpr qreal kPaddingX = 16;
constexpr qreal kPaddingY = 7;
constexpr qreal kRadius = 8;
}  // namespace

HotKeyButton::HotKeyButton(QWidget* parent)
    : QAbstractButton(parent), accent_(neonCyan), glow_(new GlowEffect(Glow{withOpacity(neonCyan, 0.3), 3}, this)) {
  setFont(rajdhaniSemiBold(14));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
  setGraphicsEffect(glow_);
}

void HotKeyButton::setAccent(const QColor& accent) {
  if (accent == accent_) return;
  accent_ = accent;
  glow_->setGlow(Glow{withOpacity(accent, 0.3), 3});
  update();
}

QSize HotKeyButton::sizeHint() const {
  const QFontMetricsF metrics(font());
  const qreal width = std::max(kMinimumWidth, metrics.horizontalAdvance(text()) + 2 * kPaddingX);
  return QSize(int(std::ceil(width)), int(std::ceil(metrics.height() + 2 * kPaddingY)));
}

void HotKeyButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath shape;
  shape.addRoundedRect(bounds, kRadius, kRadius);
  painter.fillPath(shape, withOpacity(accent_, isDown() ? 0.18 : 0.1));
  painter.strokePath(shape, QPen(withOpacity(accent_, 0.4), 1));
  painter.setPen(accent_);
  painter.setFont(font());
  painter.drawText(bounds, Qt::AlignCenter, text());
}
