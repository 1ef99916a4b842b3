#pragma once

#include "theme/neontitle.h"

#include <QLabel>

class GlowEffect;

// A label drawn as NeonTitle: Orbitron Black filled with a left-to-right
// gradient of `colors`, glowing in the first. The glow spills past the
// widget's edges.
class NeonTitleLabel : public QLabel {
  Q_OBJECT

 public:
  NeonTitleLabel(const QString& text, const QList<QColor>& colors, qreal size, QWidget* parent = nullptr);

  void setColors(const QList<QColor>& colors);
  QList<QColor> colors() const { return colors_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  NeonTitle style() const;

  QList<QColor> colors_;
  qreal size_;
  GlowEffect* glow_;
};
