// What the docks leave of a monitor, in the X server's pixels: a screen of
// two monitors side by side, 1400x900 and 1000x600 to its right.
#include "platform/workarea.h"

#include <gtest/gtest.h>

namespace {

const QRect kLarge(0, 0, 1400, 900);
const QRect kMedium(1400, 0, 1000, 600);

struct Case {
  const char* name;
  QList<WorkArea::Reserved> bands;
  QRect large;
  QRect medium;
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class LeftFree : public testing::TestWithParam<Case> {};

TEST_P(LeftFree, EachBandCutsTheMonitorsItReachesFromItsEdge) {
  EXPECT_EQ(WorkArea::leftFree(kLarge, GetParam().bands), GetParam().large);
  EXPECT_EQ(WorkArea::leftFree(kMedium, GetParam().bands), GetParam().medium);
}

INSTANTIATE_TEST_SUITE_P(
    , LeftFree,
    testing::Values(
        Case{"NoDock", {}, kLarge, kMedium},
        // A panel along the bottom of the large monitor only.
        Case{"BottomOfOneMonitor", {{Qt::BottomEdge, QRect(0, 856, 1400, 44)}}, QRect(0, 0, 1400, 856), kMedium},
        // i3 stacks its bar (20 high) above a dock (44): both places count, and
        // the bar's strut, counted from the screen's edge, is inside the dock's.
        Case{"StackedAlongAnEdge",
             {{Qt::BottomEdge, QRect(0, 880, 2400, 20)},
              {Qt::BottomEdge, QRect(0, 836, 2400, 20)},
              {Qt::BottomEdge, QRect(0, 856, 2400, 44)}},
             QRect(0, 0, 1400, 836), kMedium},
        // A strut reaching from the screen's bottom edge up into the shorter monitor.
        Case{"IntoTheShorterMonitor", {{Qt::BottomEdge, QRect(1400, 560, 1000, 340)}}, kLarge,
             QRect(1400, 0, 1000, 560)},
        Case{"LeftAndTop",
             {{Qt::LeftEdge, QRect(0, 0, 48, 900)}, {Qt::TopEdge, QRect(0, 0, 2400, 24)}},
             QRect(48, 24, 1352, 876), QRect(1400, 24, 1000, 576)},
        Case{"RightOfTheWholeScreen", {{Qt::RightEdge, QRect(2350, 0, 50, 600)}}, kLarge, QRect(1400, 0, 950, 600)},
        Case{"NothingLeft", {{Qt::TopEdge, QRect(1400, 0, 1000, 600)}}, kLarge, QRect()}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
