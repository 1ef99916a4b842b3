#pragma once

#include "theme/glow.h"

#include <QImage>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>

// Draws the glow of a shape behind another widget, as that widget's sibling
// stacked just under it, following it as it moves, resizes, shows and hides.
//
// Containers glow this way rather than through GlowEffect: Qt cannot nest
// widget effects, and a card's children (titles, buttons, fields) carry
// effects of their own.
class GlowBackdrop : public QWidget {
  Q_OBJECT

 public:
  explicit GlowBackdrop(QWidget* target);

  // The glow of `shape` (in the target's coordinates) filled at `alpha`.
  void setGlow(const Glow& glow, const QPainterPath& shape, qreal alpha);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void follow();

  QPointer<QWidget> target_;
  Glow glow_;
  QPainterPath shape_;
  qreal alpha_ = 1;
  QImage cache_;
  qreal cacheScale_ = 0;
};
