#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>

#include <functional>

class QPainter;

// A glow: a blurred copy of what something draws, in one colour, without
// offset, behind it. `radius` is the blur radius in logical pixels (a Gaussian
// of standard deviation radius / 2, so the glow fades out about 1.5 radii past
// the shape).
struct Glow {
  QColor color;
  qreal radius = 0;

  // How far past the drawing the glow reaches, in logical pixels.
  qreal reach() const;
  bool isVisible() const { return radius > 0 && color.alpha() > 0; }

  // Draws the glow that `content` casts, then `content` itself. `bounds` holds
  // everything `content` draws (in the painter's coordinates); the glow spills
  // up to reach() beyond it, so the caller leaves room there.
  void paint(QPainter& painter, const QRectF& bounds, const std::function<void(QPainter&)>& content) const;

  // The glow of `coverage`'s alpha, tinted with `color`, as an image of the
  // same size and device pixel ratio. `pixelsPerPoint` scales the radius to
  // the image's pixels; the image must already have a transparent margin of
  // reach() for the glow.
  QImage glowOf(const QImage& coverage, qreal pixelsPerPoint) const;
};
