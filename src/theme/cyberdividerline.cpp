#include "theme/cyberdividerline.h"

#include "theme/gloweffect.h"

#include <QPainter>

CyberDividerLine::CyberDividerLine(const QColor& color, QWidget* parent) : QWidget(parent), style_{color} {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setFixedHeight(int(CyberDivider::height));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  glow_ = new GlowEffect(style_.glow(), this);
  setGraphicsEffect(glow_);
}

void CyberDividerLine::setColor(const QColor& color) {
  style_.color = color;
  glow_->setGlow(style_.glow());
  update();
}

void CyberDividerLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintGlowSource(painter);
}

void CyberDividerLine::paintGlowSource(QPainter& painter) const { style_.paintBody(painter, rect()); }

QString CyberDividerLine::glowSourceKey() const {
  return QStringLiteral("divider ") + style_.color.name(QColor::HexArgb);
}
