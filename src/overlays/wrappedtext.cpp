#include "overlays/wrappedtext.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>

QStringList WrappedText::lines(qreal width) const {
  QStringList shown;
  if (text.isEmpty()) return shown;
  // Line feeds in the text break lines too.
  QString source = text;
  source.replace(u'\n', QChar::LineSeparator);
  QTextLayout layout(source, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  for (;;) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(width);
    if (maxLines > 0 && shown.size() == maxLines - 1) {
      // The last line allowed: everything left, cut to the width.
      QString rest = source.mid(line.textStart());
      rest.replace(QChar::LineSeparator, u' ');
      const QString cut = QFontMetricsF(font).elidedText(rest, Qt::ElideRight, width);
      shown.append(cut);
      break;
    }
    shown.append(source.mid(line.textStart(), line.textLength()).trimmed());
  }
  layout.endLayout();
  return shown;
}

qreal WrappedText::lineHeight() const { return QFontMetricsF(font).height(); }

QSizeF WrappedText::size(qreal width) const {
  const QStringList shown = lines(width);
  if (shown.isEmpty()) return QSizeF(0, 0);
  const QFontMetricsF metrics(font);
  qreal widest = 0;
  for (const QString& line : shown) widest = std::max(widest, metrics.horizontalAdvance(line));
  const qreal height = shown.size() * lineHeight() + (shown.size() - 1) * lineSpacing;
  return QSizeF(std::min(widest, width), height);
}

void WrappedText::paint(QPainter& painter, const QRectF& rect, const QColor& color) const {
  painter.save();
  painter.setFont(font);
  painter.setPen(color);
  const qreal ascent = QFontMetricsF(font).ascent();
  qreal y = rect.top();
  for (const QString& line : lines(rect.width())) {
    painter.drawText(QPointF(rect.left(), y + ascent), line);
    y += lineHeight() + lineSpacing;
  }
  painter.restore();
}
