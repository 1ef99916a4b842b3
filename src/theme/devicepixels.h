#pragma once

#include <QPointF>
#include <QRectF>

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

// The corner of a device pixel nearest to `point`.
QPointF rounded(const QPainter& painter, const QPointF& point);
// The corner of the device pixel that holds `point` (up and to the left).
QPointF floored(const QPainter& painter, const QPointF& point);
// The smallest rectangle of whole device pixels that holds `rect`.
QRectF aligned(const QPainter& painter, const QRectF& rect);

}  // namespace DevicePixels
