#pragma once

#include <QRegion>

#include <array>

// The shapes of a window that dissolves into the desktop where its opacity
// cannot change (no compositor runs): each level keeps a smaller share of the
// window's pixels, spread evenly by an ordered-dither pattern (4 x 4 Bayer
// over cells of 2 x 2 pixels), so that the desktop shows through more and
// more. A cell dropped at one level stays dropped at every later one: nothing
// flickers back in a fade.
//
// A fade steps through the levels of one outline many times a second, so
// each level's shape is built once, on first use, and kept until another
// outline (another size) is asked for.
class DissolveMasks {
 public:
  // Level 0 is the whole outline; the last level keeps one cell in 16.
  static constexpr int kLevels = 16;

  // The level of a fade that has taken `share` (0 to 1) of the window away.
  static int levelFor(qreal share);

  // `outline` at `level`; never empty unless the outline is (an empty shape
  // would be no shape at all: the whole window).
  QRegion at(const QRegion& outline, int level);

 private:
  QRegion outline_;
  std::array<QRegion, kLevels> masks_;  // empty: not built yet
};
