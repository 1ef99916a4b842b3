// The bubble's place on the screen, also when its content changes size.
#include "mainwindow/popover.h"

#include <QCoreApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

struct Growth {
  const char* name;
  Popover::ArrowEdge edge;
};

class PopoverGrowth : public testing::TestWithParam<Growth> {};

// The invite-code list opens small while it loads and grows once the codes
// arrive; near the screen's bottom the grown bubble must still fit.
TEST_P(PopoverGrowth, ContentThatGrowsAfterShowingStaysOnTheScreen) {
  QWidget window;
  const QRect room = window.screen()->availableGeometry();
  window.setGeometry(room.left() + 40, room.bottom() - 120, 300, 100);
  window.show();
  auto* anchor = new QWidget(&window);
  anchor->setGeometry(20, 60, 120, 24);
  anchor->show();

  auto* content = new QWidget;
  content->setFixedSize(200, 60);
  auto* popover = new Popover(anchor, GetParam().edge, content);
  popover->present();
  ASSERT_TRUE(room.contains(popover->geometry())) << "before growing";

  content->setFixedSize(260, 400);
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(popover->height(), 400 + (GetParam().edge == Popover::ArrowEdge::top ? Popover::arrowLength : 0));
  EXPECT_TRUE(room.contains(popover->geometry())) << "after growing";
  if (GetParam().edge == Popover::ArrowEdge::top) {
    // Still hanging above its anchor, not over it.
    EXPECT_LE(popover->geometry().bottom(), anchor->mapToGlobal(QPoint(0, 0)).y());
  }
  popover->close();
}

INSTANTIATE_TEST_SUITE_P(Popover, PopoverGrowth,
                         testing::Values(Growth{"trailing", Popover::ArrowEdge::trailing},
                                         Growth{"top", Popover::ArrowEdge::top}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
