#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Where a floating panel goes: on the screen under the pointer, centred
// across it, at a height measured from that screen's bottom edge. The whole
// screen counts, panels and docks included, so a panel sits at the same place
// whatever the desktop reserves, unless it would then reach past the part of
// the screen they leave free (see frame()).
//
// Coordinates are the desktop's: origin at the top left, y growing downwards.
struct PanelPlacement {
  // How high the panel's bottom edge stands above the screen's bottom edge:
  // `heightFraction` of the screen's height plus `offset` (negative: lower).
  qreal heightFraction = 0;
  qreal offset = 0;

  // The first screen in `screens` that holds `pointer`; else the main screen;
  // else none.
  static std::optional<QRect> screenFor(const QList<QRect>& screens, const std::optional<QRect>& mainScreen,
                                        const QPoint& pointer);

  // The top-left corner of a panel of `size` on `screen`, never past its
  // bottom or top edge.
  QPoint origin(const QRect& screen, const QSize& size) const;

  // The panel's frame on `screen`, placed as origin() says, then made smaller
  // where it is larger than `available` (what the desktop's own panels and
  // docks leave free of the screen) and moved just far enough to lie inside
  // it: no part of a panel is ever off screen, on a small or highly scaled
  // screen too. Its view scrolls what no longer fits.
  QRect frame(const QRect& screen, const QRect& available, const QSize& size) const;

  // The same for the screen under `pointer`; none when there is no screen, and
  // the panel then stays where it is.
  std::optional<QPoint> origin(const QList<QRect>& screens, const std::optional<QRect>& mainScreen,
                               const QPoint& pointer, const QSize& size) const;
};
