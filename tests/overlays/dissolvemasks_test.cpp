#include "overlays/dissolvemasks.h"
#include "overlays/tipoverlayview.h"

#include <gtest/gtest.h>

namespace {

// The pixels of `region` (whose rectangles never overlap).
int area(const QRegion& region) {
  int pixels = 0;
  for (const QRect& rect : region) pixels += rect.width() * rect.height();
  return pixels;
}

// Each level of a fade keeps an even share of every part of the tip's card (a
// dissolve, not a wipe) and never brings back a pixel an earlier level dropped.
TEST(DissolveMasks, EachLevelKeepsAnEvenShareOfTheCardAndNothingComesBack) {
  const QRegion card(TipOverlayView(QString()).outline().toFillPolygon().toPolygon());
  DissolveMasks masks;
  EXPECT_EQ(masks.at(card, 0), card);
  QRegion before = card;
  for (int level = 1; level < DissolveMasks::kLevels; ++level) {
    const QRegion mask = masks.at(card, level);
    EXPECT_TRUE((mask - before).isEmpty()) << level;
    // Every 8 x 8 square inside the card keeps its share, every 4 x 4 one too at every fourth level.
    for (const int side : {8, 4}) {
      for (int y = 8; y + side <= 48 && (side == 8 || level % 4 == 0); y += side) {
        for (int x = 16; x + side <= 304; x += side) {
          ASSERT_EQ(area(mask & QRect(x, y, side, side)), (16 - level) * side * side / 16) << level << " at " << x;
        }
      }
    }
    before = mask;
  }
  // Another size gets masks of its own; a shape is never emptied (that would show the whole window).
  EXPECT_EQ(area(masks.at(QRegion(0, 0, 96, 24), 8)), 96 * 24 / 2);
  const QRegion dot(1, 1, 1, 1);
  EXPECT_EQ(masks.at(dot, DissolveMasks::levelFor(1)), dot);
}

}  // namespace
