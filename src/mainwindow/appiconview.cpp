#include "mainwindow/appiconview.h"

#include "theme/gloweffect.h"
#include "theme/palette.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

AppIconView::AppIconView(QWidget* parent) : QWidget(parent) {
  setFixedSize(side, side);
  setGraphicsEffect(new GlowEffect(Glow{Palette::withOpacity(Palette::neonCyan, 0.4), 8}, this));
}

void AppIconView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  QPainterPath clip;
  clip.addRoundedRect(QRectF(rect()), 10, 10);
  painter.setClipPath(clip);
  // The application's window icon when the program set one, else the
  // drawing this library carries.
  const QIcon window = QGuiApplication::windowIcon();
  if (!window.isNull()) {
    window.paint(&painter, rect());
  } else {
    QSvgRenderer(QStringLiteral(":/mainwindow/icons/veltrine.svg")).render(&painter, QRectF(rect()));
  }
}
