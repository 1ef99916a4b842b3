#pragma once

#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPainter;

// A text wrapped at word boundaries (anywhere inside a word too long for the
// width), optionally limited to a number of lines: what does not fit is cut
// at the end of the last line, which then ends in an ellipsis.
struct WrappedText {
  QString text;
  QFont font;
  int maxLines = 0;  // 0: no limit
  qreal lineSpacing = 0;

  // The lines as shown at `width`.
  QStringList lines(qreal width) const;
  qreal lineHeight() const;
  // The size the shown lines take at `width` (their widest line, their height).
  QSizeF size(qreal width) const;

  void paint(QPainter& painter, const QRectF& rect, const QColor& color) const;
};
