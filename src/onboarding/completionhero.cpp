#include "onboarding/completionhero.h"

#include "theme/glow.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QPainter>

#include <cmath>

namespace {
constexpr qreal kRing = 110;
// The ring's glow (radius 10) reaches about 15 past it.
constexpr qreal kMargin = 16;
}  // namespace

CompletionHero::CompletionHero(QWidget* parent) : QWidget(parent) {
  setFixedSize(sizeHint());
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize CompletionHero::sizeHint() const {
  const int side = int(kRing + 2 * kMargin);
  return QSize(side, side);
}

QRectF CompletionHero::ring() const { return QRectF(kMargin, kMargin, kRing, kRing); }

void CompletionHero::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF circle = ring();
  painter.setPen(Qt::NoPen);
  painter.setBrush(Palette::withOpacity(Palette::neonGreen, 0.08));
  painter.drawEllipse(circle);

  Glow{Palette::withOpacity(Palette::neonGreen, 0.4), 10}.paint(painter, circle, [&](QPainter& p) {
    p.setPen(QPen(Palette::withOpacity(Palette::neonGreen, 0.4), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(circle.adjusted(0.75, 0.75, -0.75, -0.75));
  });

  const qreal side = SymbolImage::boxSide(48);
  const QRectF check(circle.center().x() - side / 2, circle.center().y() - side / 2, side, side);
  Glow{Palette::withOpacity(Palette::neonGreen, 0.6), 8}.paint(painter, check, [&](QPainter& p) {
    SymbolImage::paint(p, check, QStringLiteral("checkmark.circle.fill"), Palette::neonGreen);
  });
}
