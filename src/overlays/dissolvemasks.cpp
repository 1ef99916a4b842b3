#include "overlays/dissolvemasks.h"

#include <QList>

#include <algorithm>

namespace {

// Each cell's rank in the dissolve: a level keeps the cells ranked at or
// above it. Neighbouring ranks lie far apart, so every level is an even spread.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// The side of the dither's cells, in pixels. Single pixels would make the
// shape of a half-dissolved tip some 9,000 rectangles, which the X server
// (and the window manager, copying it onto its frame) spends milliseconds on
// at every step; cells of 2 x 2 make it a quarter of that, still a fine grain.
constexpr int kCell = 2;

int cellOf(int pixel) { return pixel >= 0 ? pixel / kCell : (pixel + 1) / kCell - 1; }

// The cells over `bounds` ranked at or above `level`, one run of cells per
// rect, rows from top to bottom: the order QRegion::setRects takes as it is.
QRegion pattern(const QRect& bounds, int level) {
  QList<QRect> runs;
  const int left = cellOf(bounds.left()), right = cellOf(bounds.right());
  for (int row = cellOf(bounds.top()); row <= cellOf(bounds.bottom()); ++row) {
    const int* ranks = kBayer[row & 3];
    for (int column = left; column <= right;) {
      if (ranks[column & 3] < level) {
        ++column;
        continue;
      }
      const int start = column;
      while (column <= right && ranks[column & 3] >= level) ++column;
      runs.append(QRect(start * kCell, row * kCell, (column - start) * kCell, kCell));
    }
  }
  QRegion region;
  region.setRects(runs.constData(), int(runs.size()));
  return region;
}

}  // namespace

int DissolveMasks::levelFor(qreal share) { return std::clamp(int(share * kLevels), 0, kLevels - 1); }

QRegion DissolveMasks::at(const QRegion& outline, int level) {
  level = std::clamp(level, 0, kLevels - 1);
  if (level == 0 || outline.isEmpty()) return outline;
  if (outline != outline_) {
    outline_ = outline;
    masks_.fill(QRegion());
  }
  QRegion& mask = masks_[size_t(level)];
  if (mask.isEmpty()) {
    mask = outline & pattern(outline.boundingRect(), level);
    // An outline too small for this level keeps what the level before kept.
    if (mask.isEmpty()) mask = at(outline, level - 1);
  }
  return mask;
}
