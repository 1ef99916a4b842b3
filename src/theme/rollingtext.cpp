#include "theme/rollingtext.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>

namespace {

// The lengths of what `a` and `b` begin with and end with alike; the two
// never overlap, so "11" to "1" keeps one digit, not two.
std::pair<qsizetype, qsizetype> sharedEnds(const QString& a, const QString& b) {
  const qsizetype shorter = std::min(a.size(), b.size());
  qsizetype prefix = 0;
  while (prefix < shorter && a[prefix] == b[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < shorter - prefix && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix]) ++suffix;
  return {prefix, suffix};
}

qreal mix(qreal from, qreal to, qreal t) { return from + (to - from) * t; }

}  // namespace

qreal RollingText::width(const QFontMetricsF& metrics) const {
  if (!isRolling()) return metrics.horizontalAdvance(to);
  return mix(metrics.horizontalAdvance(from), metrics.horizontalAdvance(to), progress);
}

void RollingText::paint(QPainter& painter, const QRectF& line, const QFontMetricsF& metrics,
                        const DrawPiece& draw) const {
  const auto piece = [&](const QString& text, qreal left) {
    return QRectF(left, line.top(), metrics.horizontalAdvance(text), line.height());
  };
  if (!isRolling()) {
    draw(painter, piece(to, line.left()), to);
    return;
  }

  const auto [prefix, suffix] = sharedEnds(from, to);
  const QString leading = to.left(prefix);
  const QString trailing = to.right(suffix);
  const qreal changeLeft = line.left() + metrics.horizontalAdvance(leading);
  if (!leading.isEmpty()) draw(painter, piece(leading, line.left()), leading);

  // Kerning is kept: the trailing part starts where it stands in each whole text.
  const qreal trailingFrom = metrics.horizontalAdvance(from.left(from.size() - suffix));
  const qreal trailingTo = metrics.horizontalAdvance(to.left(to.size() - suffix));
  if (!trailing.isEmpty()) {
    draw(painter, piece(trailing, line.left() + mix(trailingFrom, trailingTo, progress)), trailing);
  }

  const qreal distance = line.height() * travel;
  const qreal opacity = painter.opacity();
  const auto rolling = [&](const QString& text, qreal offset, qreal visibility) {
    if (text.isEmpty() || visibility <= 0) return;
    painter.setOpacity(opacity * visibility);
    draw(painter, piece(text, changeLeft).translated(0, offset), text);
  };
  rolling(from.mid(prefix, from.size() - prefix - suffix), -distance * progress, 1 - progress);
  rolling(to.mid(prefix, to.size() - prefix - suffix), distance * (1 - progress), progress);
  painter.setOpacity(opacity);
}
