#pragma once

#include "theme/cyberdivider.h"
#include "theme/glowsource.h"

#include <QWidget>

class GlowEffect;

// A CyberDivider for layouts: 1 pixel high, as wide as it is given.
class CyberDividerLine : public QWidget, public GlowSource {
  Q_OBJECT

 public:
  explicit CyberDividerLine(const QColor& color, QWidget* parent = nullptr);

  void setColor(const QColor& color);
  QColor color() const { return style_.color; }

  QSize sizeHint() const override { return QSize(0, int(CyberDivider::height)); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void paintGlowSource(QPainter& painter) const override;
  QString glowSourceKey() const override;

 private:
  CyberDivider style_;
  GlowEffect* glow_;
};
