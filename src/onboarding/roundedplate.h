#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The faint rounded plate under the practice pages' chips, fields and
// samples: filled, and outlined with a line that stays inside `rect`.
void paintRoundedPlate(QPainter& painter, const QRectF& rect, qreal cornerRadius, const QColor& fill,
                       const QColor& outline, qreal lineWidth);
