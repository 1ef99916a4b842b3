#include "overlays/panelplacement.h"

#include <gtest/gtest.h>

namespace {

const QRect kMain(0, 0, 1280, 800), kSecond(1280, -200, 1920, 1200);

TEST(PanelPlacement, CentredOnTheScreenUnderThePointerAtAHeightFromItsBottom) {
  const struct {
    const char* what;
    PanelPlacement placement;
    QPoint pointer;
    QSize panel;
    QList<QRect> screens;
    std::optional<QRect> mainScreen;
    std::optional<QPoint> origin;
  } cases[] = {
      // The recording bar: its bottom edge at 12 % of the height (96 of 800).
      {"recording", {0.12, 0}, {100, 100}, {360, 88}, {kMain, kSecond}, kMain, QPoint(460, 800 - 96 - 88)},
      {"secondary screen", {0.12, 0}, {2000, 500}, {360, 88}, {kMain, kSecond}, kMain,
       QPoint(1280 + 780, -200 + 1200 - 144 - 88)},
      {"tip", {0, 60}, {5, 5}, {320, 56}, {kMain}, kMain, QPoint(480, 800 - 60 - 56)},
      {"result", {0, 44}, {5, 5}, {680, 600}, {kMain}, kMain, QPoint(300, 800 - 44 - 600)},
      // The clarify card's top edge 12 under the recording bar's bottom edge...
      {"clarify", {0.12, -98 - 12}, {2000, 500}, {360, 98}, {kMain, kSecond}, kMain,
       QPoint(1280 + 780, -200 + 1200 - 144 + 12)},
      // ...except where that would reach past the bottom of a short screen.
      {"clarify on a short screen", {0.12, -98 - 12}, {5, 5}, {360, 98}, {kMain}, kMain, QPoint(460, 800 - 98)},
      {"taller than the screen", {0, 44}, {5, 5}, {680, 900}, {kMain}, kMain, QPoint(300, 0)},
      {"pointer on no screen", {0, 60}, {-500, -500}, {320, 56}, {kSecond, kMain}, kMain, QPoint(480, 684)},
      {"no screen at all", {0, 60}, {5, 5}, {320, 56}, {}, std::nullopt, std::nullopt},
      // The first screen that holds the pointer wins where screens overlap.
      {"overlap", {0, 60}, {1300, 10}, {320, 56}, {kSecond, QRect(1280, 0, 800, 600)}, kMain,
       QPoint(1280 + 800, -200 + 1200 - 60 - 56)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.placement.origin(c.screens, c.mainScreen, c.pointer, c.panel), c.origin) << c.what;
  }
}

TEST(PanelPlacement, StaysInsideTheFreePartOfTheScreenAndShrinksToItWhereItMust) {
  // Logical screens of HiDPI machines: 1280 x 800 at 200 %, 1366 x 768 at 150 %.
  const QRect scaled(0, 0, 640, 400), laptop(0, 0, 911, 512);
  const struct {
    const char* what;
    PanelPlacement placement;
    QRect screen;
    QRect available;
    QSize panel;
    QRect frame;
  } cases[] = {
      {"fits: where origin() puts it", {0, 44}, kMain, kMain, {680, 600}, {300, 156, 680, 600}},
      {"answer at 200 %", {0, 44}, scaled, scaled, {680, 600}, {0, 0, 640, 400}},
      {"answer at 150 %", {0, 44}, laptop, laptop, {680, 600}, {116, 0, 680, 512}},
      {"under a top bar", {0, 44}, scaled, {0, 24, 640, 376}, {680, 600}, {0, 24, 640, 376}},
      // A dock at the bottom: the panel rises just enough to stand on it, where it must.
      {"over a tall bottom dock", {0.12, 0}, kMain, {0, 0, 1280, 680}, {360, 88}, {460, 680 - 88, 360, 88}},
      {"above a low bottom dock", {0.12, 0}, kMain, {0, 0, 1280, 760}, {360, 88}, {460, 800 - 96 - 88, 360, 88}},
      {"left dock, second screen", {0, 60}, kSecond, {1380, -200, 1820, 1200}, {1900, 56},
       {1380, -200 + 1200 - 60 - 56, 1820, 56}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.placement.frame(c.screen, c.available, c.panel), c.frame) << c.what;
  }
}

}  // namespace
