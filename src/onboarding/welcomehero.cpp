#include "onboarding/welcomehero.h"

#include "theme/cornerbrackets.h"
#include "theme/glow.h"
#include "theme/palette.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal kIconSide = 92;
constexpr qreal kIconRadius = 20;
}  // namespace

WelcomeHero::WelcomeHero(QWidget* parent) : QWidget(parent) {
  setFixedSize(sizeHint());
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void WelcomeHero::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  CornerBrackets{Palette::neonCyan, 22}.paint(painter, QRectF(rect()));

  // The program's icon is the one the application object carries.
  const QIcon icon = QGuiApplication::windowIcon();
  if (icon.isNull()) return;
  const QRectF box((width() - kIconSide) / 2, (height() - kIconSide) / 2, kIconSide, kIconSide);
  const QPixmap pixmap = icon.pixmap(QSize(int(kIconSide), int(kIconSide)), devicePixelRatioF());
  QPainterPath rounded;
  rounded.addRoundedRect(box, kIconRadius, kIconRadius);
  Glow{Palette::withOpacity(Palette::neonCyan, 0.5), 14}.paint(painter, box, [&](QPainter& p) {
    p.save();
    p.setClipPath(rounded);
    p.drawPixmap(box, pixmap, QRectF(pixmap.rect()));
    p.restore();
  });
}
