#pragma once

#include <QString>

#include <functional>

class QFontMetricsF;
class QPainter;
class QRectF;

// A text that changes by rolling, as a counter's digits do: the part that
// differs moves up and fades out while its successor rises from below and
// fades in; what both texts begin and end with stays, and what follows the
// change slides to its new place. `progress` 0 shows `from`, 1 shows `to`
// (the caller eases it).
struct RollingText {
  QString from;
  QString to;
  qreal progress = 1;

  // How far the changing part travels, as a share of the line's height.
  static constexpr qreal travel = 0.5;

  // Draws `piece` in `rect` (a line of the caller's font, its text aligned to
  // the left and centred vertically).
  using DrawPiece = std::function<void(QPainter& painter, const QRectF& rect, const QString& piece)>;

  bool isRolling() const { return progress < 1 && from != to; }
  // The width taken at `progress`.
  qreal width(const QFontMetricsF& metrics) const;
  // Draws the text from the left edge of `line`; at rest (or without a
  // change) the whole text as one piece.
  void paint(QPainter& painter, const QRectF& line, const QFontMetricsF& metrics, const DrawPiece& draw) const;
};
