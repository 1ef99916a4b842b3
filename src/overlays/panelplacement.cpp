#include "overlays/panelplacement.h"

#include <QtMath>

#include <algorithm>

std::optional<QRect> PanelPlacement::screenFor(const QList<QRect>& screens, const std::optional<QRect>& mainScreen,
                                               const QPoint& pointer) {
  for (const QRect& screen : screens) {
    if (screen.contains(pointer)) return screen;
  }
  return mainScreen;
}

QPoint PanelPlacement::origin(const QRect& screen, const QSize& size) const {
  const qreal x = screen.x() + (screen.width() - size.width()) * 0.5;
  const qreal bottomEdge = screen.y() + screen.height() - (heightFraction * screen.height() + offset);
  // A panel set below another (the clarify card under the recording bar) would
  // reach past the bottom of a short screen: it stops at the screen's edge.
  const int top = qMin(qRound(bottomEdge - size.height()), screen.y() + screen.height() - size.height());
  return QPoint(qRound(x), qMax(screen.y(), top));
}

QRect PanelPlacement::frame(const QRect& screen, const QRect& available, const QSize& size) const {
  const QRect free = available.isEmpty() ? screen : available;
  const QSize fitted = size.boundedTo(free.size());
  QRect frame(origin(screen, fitted), fitted);
  frame.moveLeft(std::clamp(frame.left(), free.left(), free.left() + free.width() - fitted.width()));
  frame.moveTop(std::clamp(frame.top(), free.top(), free.top() + free.height() - fitted.height()));
  return frame;
}

std::optional<QPoint> PanelPlacement::origin(const QList<QRect>& screens, const std::optional<QRect>& mainScreen,
                                             const QPoint& pointer, const QSize& size) const {
  const std::optional<QRect> screen = screenFor(screens, mainScreen, pointer);
  if (!screen) return std::nullopt;
  return origin(*screen, size);
}
