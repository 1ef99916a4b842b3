#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>

class QPainter;

// Where the painter's coordinates meet the pixels of its device. At a device
// pixel ratio of 1.5 (or 1.25) a logical pixel may start partway into a device
// pixel: an image copied there is resampled (blurred, or half a pixel off),
// and a line one logical pixel high covers two rows faintly. Painting that
// starts on these corners keeps every pixel sharp.
//
// Under a painter that rotates or shears nothing is on the grid: each
// function then answers what it was given.
namespace DevicePixels {

// Device pixels per logical pixel of the painter's device (1 without one).
qreal ratio(const QPainter& painter);
// How many whole device pixels it takes to cover `pixels` of them (a length
// computed as 24.0000001 takes 24).
QSize covering(const QSizeF& pixels);

// The corner of a device pixel nearest to `point`.
QPointF rounded(const QPainter& painter, const QPointF& point);
// The corner of the device pixel that holds `point` (up and to the left).
QPointF floored(const QPainter& painter, const QPointF& point);
// The smallest rectangle of whole device pixels that holds `rect`.
QRectF aligned(const QPainter& painter, const QRectF& rect);

}  // namespace DevicePixels
