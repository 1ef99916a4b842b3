#include "onboarding/appiconbadge.h"

#include "theme/cornerbrackets.h"
#include "theme/glow.h"
#include "theme/palette.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal kIconRadius = 20;
}

AppIconBadge::AppIconBadge(QWidget* parent) : QWidget(parent) {
  setFixedSize(side, side);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void AppIconBadge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  CornerBrackets{Palette::neonCyan, 20}.paint(painter, QRectF(rect()));

  // The program's icon is the one the application was given at start-up.
  const QIcon icon = QGuiApplication::windowIcon();
  if (icon.isNull()) return;
  const QRectF box((side - iconSide) / 2.0, (side - iconSide) / 2.0, iconSide, iconSide);
  const QPixmap image = icon.pixmap(QSize(iconSide, iconSide), devicePixelRatioF());
  QPainterPath rounded;
  rounded.addRoundedRect(box, kIconRadius, kIconRadius);
  const Glow glow{Palette::withOpacity(Palette::neonCyan, 0.5), 14};
  glow.paint(painter, box, [&](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setClipPath(rounded);
    p.drawPixmap(box, image, QRectF(image.rect()));
  });
}
