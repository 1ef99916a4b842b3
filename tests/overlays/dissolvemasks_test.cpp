#include "overlays/dissolvemasks.h"
#include "overlays/tipoverlayview.h"

#include <gtest/gtest.h>

namespace {

// The pixels of `region` (its rectangles never overlap).
int area(const QRegion& region) {
  int pixels = 0;
  for (const QRect& rect : region) pixels += rect.width() * rect.height();
  return pixels;
}

// A fade steps through the levels of the tip's card: each level keeps an even
// share of every part of the card (a dissolve, not a wipe), within the card,
// and never brings back a pixel that an earlier level dropped.
TEST(DissolveMasks, EachLevelKeepsAnEvenShareOfTheCardAndNothingComesBack) {
  const QRegion card(TipOverlayView(QString()).outline().toFillPolygon().toPolygon());
  DissolveMasks masks;
  EXPECT_EQ(masks.at(card, 0), card);
  QRegion before = card;
  for (int level = 1; level < DissolveMasks::kLevels; ++level) {
    const QRegion mask = masks.at(card, level);
    EXPECT_TRUE((mask - before).isEmpty()) << level;
    // Each square of 8 x 8 inside the card keeps its share of 16 cells of 2 x 2; at every
    // fourth level each square of 4 x 4 too: the cells kept never gather in lines or clumps.
    for (const int side : {8, 4}) {
      for (int y = 8; y + side <= 48 && (side == 8 || level % 4 == 0); y += side) {
        for (int x = 16; x + side <= 304; x += side) {
          ASSERT_EQ(area(mask & QRect(x, y, side, side)), (16 - level) * side * side / 16) << level << " at " << x;
        }
      }
    }
    before = mask;
  }
  // Another size gets its own masks. A shape is never emptied, neither at the
  // fade's end nor where too small for a level: that would show the whole window.
  EXPECT_EQ(area(masks.at(QRegion(0, 0, 96, 24), 8)), 96 * 24 / 2);
  const QRegion dot(1, 1, 1, 1);  // a pixel that only level 0 keeps
  EXPECT_EQ(masks.at(dot, DissolveMasks::levelFor(1)), dot);
}

}  // namespace
