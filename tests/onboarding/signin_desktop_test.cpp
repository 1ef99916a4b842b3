// The sign-in window's language popover on a real desktop, where the window
// manager places it. With VELTRINE_SCREENSHOT_DIR set, the window and the
// popover are also saved there as pictures to look at.
#include "onboarding/authview.h"
#include "onboarding/languagepicker.h"
#include "onboarding/languagepopover.h"
#include "testenvironment.h"
#include "onboardingtest.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QWindow>

namespace {

class SignInOnScreen : public ::testing::Test {
 protected:
  SignInOnScreen() {
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(VELTRINE_APP_ICON)));
    LanguageManager::shared().setCurrent(AppLanguage::en);
  }

  SharedStateGuard guard;

  static void keep(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("VELTRINE_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    window.screen()->grabWindow(window.winId()).save(QDir(folder).filePath(name + QStringLiteral(".png")));
  }
};

TEST_F(SignInOnScreen, TheLanguagePopoverOpensAtItsButtonAndClosesOnAClickElsewhere) {
  REQUIRE_TEST_DESKTOP();
  AuthView view;
  view.show();
  view.resize(view.sizeHint());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  keep(view, QStringLiteral("signin-email"));
  LanguagePicker& picker = *view.languagePicker();
  QTest::mouseClick(&picker, Qt::LeftButton);
  ASSERT_TRUE(waitUntil([&] { return picker.isPopoverShown(); }));
  LanguagePopover& popover = *picker.popover();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&popover));
  // Its arrow points at the button, under it where the screen has room, and it is whole on the screen.
  const QRect button(picker.mapToGlobal(QPoint(0, 0)), picker.size());
  const QRect panel = popover.frameGeometry();
  EXPECT_NEAR(panel.center().x(), button.center().x(), 2);
  if (popover.pointsUp()) {
    EXPECT_EQ(panel.top(), button.bottom() + 1);
  } else {
    EXPECT_EQ(panel.bottom(), button.top() - 1);
  }
  EXPECT_TRUE(picker.screen()->availableGeometry().contains(panel));
  keep(popover, QStringLiteral("signin-language-popover"));

  // Moved up the screen, the window has room for it below the button.
  popover.close();
  view.move(view.x(), 0);
  ASSERT_TRUE(waitUntil([&] { return view.y() < 100; }));
  QTest::mouseClick(&picker, Qt::LeftButton);
  ASSERT_TRUE(waitUntil([&] { return picker.isPopoverShown(); }));
  EXPECT_TRUE(popover.pointsUp());
  EXPECT_EQ(popover.frameGeometry().top(), picker.mapToGlobal(QPoint(0, picker.height())).y());

  // A click on the window closes it; the button opens it again.
  QTest::mouseClick(view.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(waitUntil([&] { return !picker.isPopoverShown(); }));
  QTest::mouseClick(&picker, Qt::LeftButton);
  EXPECT_TRUE(waitUntil([&] { return picker.isPopoverShown(); }));
}

}  // namespace
