#include "mainwindow/hotwordcountbadge.h"

#include "mainwindow/hotwordinput.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

HotWordCountBadge::HotWordCountBadge(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void HotWordCountBadge::setCount(qsizetype count) {
  count_ = count;
  updateGeometry();
  update();
}

QString HotWordCountBadge::text() const {
  return QString::number(count_) + u'/' + QString::number(HotWordInput::maxHotWords);
}

bool HotWordCountBadge::isFull() const { return count_ >= HotWordInput::maxHotWords; }

QSize HotWordCountBadge::sizeHint() const {
  const QFontMetricsF metrics(rajdhaniSemiBold(13));
  return QSize(int(std::ceil(metrics.horizontalAdvance(text()) + 20)), int(std::ceil(metrics.height() + 8)));
}

void HotWordCountBadge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath ground;
  ground.addRoundedRect(QRectF(rect()), 5, 5);
  painter.fillPath(
      ground, isFull() ? Palette::withOpacity(Palette::neonRed, 0.3) : Palette::withOpacity(Palette::cyberBorder, 0.3));
  painter.setFont(rajdhaniSemiBold(13));
  painter.setPen(isFull() ? Palette::neonRed : Palette::cyberTextSecondary);
  painter.drawText(rect(), Qt::AlignCenter, text());
}
