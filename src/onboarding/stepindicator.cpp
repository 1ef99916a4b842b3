#include "onboarding/stepindicator.h"

#include "theme/fonts.h"
#include "theme/glow.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QPainter>

#include <cmath>

namespace {
constexpr qreal kCircle = 26;
constexpr qreal kItemSpacing = 4;
// Room around the circles for the current one's glow.
constexpr qreal kMargin = 8;
}  // namespace

StepIndicator::StepIndicator(OnboardingStep current, QWidget* parent) : QWidget(parent), current_(current) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void StepIndicator::setCurrent(OnboardingStep step) {
  if (step == current_) return;
  current_ = step;
  update();
}

QSize StepIndicator::sizeHint() const { return minimumSizeHint(); }

QSize StepIndicator::minimumSizeHint() const {
  const qsizetype count = allOnboardingSteps().size();
  const qreal width = count * kCircle + (count - 1) * 2 * kItemSpacing + 2 * kMargin;
  return QSize(int(std::ceil(width)), int(kCircle + 2 * kMargin));
}

QRectF StepIndicator::circleRect(OnboardingStep step) const {
  // Every item but the first is a connector, the spacing and a circle; the
  // connectors share what the circles and spacings leave of the width.
  const qsizetype count = allOnboardingSteps().size();
  const qreal inner = width() - 2 * kMargin;
  const qreal connector = std::max<qreal>(0, (inner - count * kCircle - (count - 1) * kItemSpacing) / (count - 1));
  const int index = rawValue(step);
  const qreal x = kMargin + index * (kCircle + kItemSpacing + connector);
  return QRectF(x, kMargin, kCircle, kCircle);
}

void StepIndicator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  for (OnboardingStep step : allOnboardingSteps()) paintItem(painter, step);
}

void StepIndicator::paintItem(QPainter& painter, OnboardingStep step) const {
  const int item = rawValue(step);
  const int currentRaw = rawValue(current_);
  const bool past = currentRaw > item;
  const bool current = currentRaw == item;
  const QRectF circle = circleRect(step);

  if (item > 0) {
    const QRectF previous = circleRect(*onboardingStepFromRawValue(item - 1));
    const qreal left = previous.right() + kItemSpacing;
    const qreal right = circle.left() - kItemSpacing;
    const QColor fill = currentRaw >= item ? Palette::withOpacity(Palette::neonCyan, 0.4) : Palette::cyberBorder;
    painter.fillRect(QRectF(left, circle.center().y() - 0.5, right - left, 1), fill);
  }

  const auto drawCircle = [&](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(past || current ? Palette::withOpacity(Palette::neonCyan, 0.12) : Palette::cyberCardBg);
    p.drawEllipse(circle);
    const QColor stroke = past      ? Palette::withOpacity(Palette::neonGreen, 0.6)
                          : current ? Palette::withOpacity(Palette::neonCyan, 0.6)
                                    : Palette::cyberBorder;
    p.setPen(QPen(stroke, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
    if (past) {
      const qreal side = SymbolImage::boxSide(10);
      SymbolImage::paint(p, QRectF(circle.center().x() - side / 2, circle.center().y() - side / 2, side, side),
                         QStringLiteral("checkmark"), Palette::neonGreen);
    } else {
      p.setFont(rajdhaniSemiBold(10));
      p.setPen(current ? Palette::neonCyan : Palette::cyberTextTertiary);
      p.drawText(circle, Qt::AlignCenter, indicatorLabel(step));
    }
  };
  if (current) {
    Glow{Palette::withOpacity(Palette::neonCyan, 0.3), 4}.paint(painter, circle, drawCircle);
  } else {
    drawCircle(painter);
  }
}
