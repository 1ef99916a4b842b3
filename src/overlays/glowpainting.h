#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

// The glowing pieces the floating panels draw: a line of text, a symbol and a
// ring, each with its glow behind it (the glow spills past `rect`).
namespace GlowPainting {

void text(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font, const QColor& color,
          const Glow& glow, int flags = Qt::AlignLeft | Qt::AlignVCenter);

// The symbol at `pointSize`, centred in `rect`.
void symbol(QPainter& painter, const QRectF& rect, const QString& name, qreal pointSize, const QColor& color,
            const Glow& glow);

// A circle of `diameter` stroked `lineWidth` wide, centred in `rect`.
void ring(QPainter& painter, const QRectF& rect, qreal diameter, qreal lineWidth, const QColor& color,
          const Glow& glow);

}  // namespace GlowPainting
