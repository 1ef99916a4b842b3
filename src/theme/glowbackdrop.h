#pragma once

#include "theme/glow.h"

#include <QImage>
#include <QMarginsF>
#include <QPointer>
#include <QWidget>

// Draws the glow of a rounded rectangle behind another widget, as that
// widget's sibling stacked just under it, following it as it moves, resizes,
// shows and hides.
//
// Containers glow this way rather than through GlowEffect: Qt cannot nest
// widget effects, and a card's children (titles, buttons, fields) carry
// effects of their own.
//
// The glow of a long straight edge is the same all along it, so a glow is
// drawn from nine slices of one small image shared by every backdrop of the
// same look: a list of many cards holds one copy, not an image per card.
class GlowBackdrop : public QWidget {
  Q_OBJECT

 public:
  explicit GlowBackdrop(QWidget* target);

  // The glow of `rect` (in the target's coordinates, with corners of
  // `cornerRadius`) filled at `alpha`.
  void setGlow(const Glow& glow, const QRectF& rect, qreal cornerRadius, qreal alpha);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void follow();
  int margin() const;
  // The glow of the rectangle as it sits in a backdrop of `pixels` device
  // pixels at `scale` device pixels per logical pixel.
  QImage glowImage(const QSize& pixels, qreal scale) const;

  QPointer<QWidget> target_;
  Glow glow_;
  // How far the rectangle's edges lie inside the target's.
  QMarginsF insets_;
  qreal cornerRadius_ = 0;
  qreal alpha_ = 1;
  // A backdrop too small for slices keeps its own image.
  QImage cache_;
  qreal cacheScale_ = 0;
};
