#pragma once

#include "theme/glow.h"

#include <QGraphicsEffect>
#include <QImage>
#include <QPainterPath>

#include <optional>

// Gives a widget its glow. A widget may not draw outside its own rectangle,
// but an effect may: the glow spills past the widget's edges as the themed
// views expect, and the widget keeps exactly the size its view describes.
//
// By default the glow follows everything the widget draws (label, fill,
// border), as a shadow of the whole view would. A container whose children
// change often (a card holding a text field) sets a shape instead: the glow of
// that shape is drawn once and kept until the shape or the glow changes.
class GlowEffect : public QGraphicsEffect {
  Q_OBJECT

 public:
  explicit GlowEffect(const Glow& glow, QObject* parent = nullptr);

  Glow glow() const { return glow_; }
  void setGlow(const Glow& glow);

  // Glows from `shape` (in the widget's coordinates) filled at `alpha`.
  void setShape(const QPainterPath& shape, qreal alpha);

 protected:
  QRectF boundingRectFor(const QRectF& rect) const override;
  void draw(QPainter* painter) override;

 private:
  void drawShapeGlow(QPainter* painter);

  Glow glow_;
  std::optional<QPainterPath> shape_;
  qreal shapeAlpha_ = 1;
  QImage shapeGlow_;
  qreal shapeGlowScale_ = 0;
};
