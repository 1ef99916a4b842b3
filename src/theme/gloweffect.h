#pragma once

#include "theme/glow.h"

#include <QGraphicsEffect>

// Gives a widget its glow. A widget may not draw outside its own rectangle,
// but an effect may: the glow spills past the widget's edges as the themed
// views expect, and the widget keeps exactly the size its view describes.
//
// The glow follows everything the widget draws (label, fill, border), as a
// shadow of the whole view would. Qt composes such effects one inside another
// only this way (through the widget's pixmap); containers glow through a
// GlowBackdrop instead, so their children may carry effects of their own.
//
// A widget that is a GlowSource (and the effect's parent) has its glow drawn
// from its own painting, kept in a cache shared by all effects: widgets that
// look alike (the dividers of a list of cards) share one glow image.
class GlowEffect : public QGraphicsEffect {
  Q_OBJECT

 public:
  explicit GlowEffect(const Glow& glow, QObject* parent = nullptr);

  Glow glow() const { return glow_; }
  void setGlow(const Glow& glow);

 protected:
  QRectF boundingRectFor(const QRectF& rect) const override;
  void draw(QPainter* painter) override;

 private:
  Glow glow_;
};
