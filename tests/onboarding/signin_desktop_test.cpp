// The sign-in window's language popover on a real desktop, where the window manager places it.
#include "onboardingtest.h"

#include <QScreen>
#include <QWindow>

namespace {

TEST(SignInOnScreen, TheLanguagePopoverOpensAtItsButtonAndClosesOnAClickElsewhere) {
  REQUIRE_TEST_DESKTOP();
  SharedStateGuard guard;
  AuthView view;
  view.show();
  view.resize(view.sizeHint());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  LanguagePicker& picker = *view.languagePicker();
  for (int top : {view.y(), 0}) {  // where it was put, then at the top of the screen
    view.move(view.x(), top);
    ASSERT_TRUE(waitUntil([&] { return view.y() <= top + 100; }));
    QTest::mouseClick(&picker, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return picker.isPopoverShown(); }));
    LanguagePopover& popover = *picker.popover();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popover));
    // Its arrow points at the button, under it where the screen has room, and it is whole on the screen.
    const QRect button(picker.mapToGlobal(QPoint(0, 0)), picker.size());
    const QRect panel = popover.frameGeometry();
    EXPECT_NEAR(panel.center().x(), button.center().x(), 2);
    EXPECT_EQ(popover.pointsUp() ? panel.top() : panel.bottom(), popover.pointsUp() ? button.bottom() + 1 : button.top() - 1);
    EXPECT_TRUE(top != 0 || popover.pointsUp());
    EXPECT_TRUE(picker.screen()->availableGeometry().contains(panel));
    // A click on the window closes it.
    QTest::mouseClick(view.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(waitUntil([&] { return !picker.isPopoverShown(); }));
  }
}

}  // namespace
