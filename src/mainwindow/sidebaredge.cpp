#include "mainwindow/sidebaredge.h"

#include "theme/gloweffect.h"
#include "theme/palette.h"

#include <QLinearGradient>
#include <QPainter>

SidebarEdge::SidebarEdge(QWidget* parent) : QWidget(parent) {
  setFixedWidth(1);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGraphicsEffect(new GlowEffect(Glow{Palette::withOpacity(Palette::neonCyan, 0.3), 4}, this));
}

void SidebarEdge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient line(0, 0, 0, height());
  line.setColorAt(0, Palette::withOpacity(Palette::neonCyan, 0));
  line.setColorAt(1.0 / 3, Palette::withOpacity(Palette::neonCyan, 0.5));
  line.setColorAt(2.0 / 3, Palette::withOpacity(Palette::neonGreen, 0.3));
  line.setColorAt(1, Palette::withOpacity(Palette::neonCyan, 0));
  painter.fillRect(rect(), line);
}
