#include "app/rootwindow.h"

#include "appshelltest.h"
#include "onboarding/onboardingmanager.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QVBoxLayout>

namespace {

using RootWindowTest = AppShellTest;

// The onboarding view's finish action, as the window handed it over.
std::function<void()> finishOnboarding;

RootWindow::Views labelledViews() {
  return RootWindow::Views{
      [] { return new QLabel(QStringLiteral("auth")); },
      [](std::function<void()> onFinish) {
        finishOnboarding = std::move(onFinish);
        return new QLabel(QStringLiteral("onboarding"));
      },
      [] { return new QLabel(QStringLiteral("main")); },
  };
}

QString shown(const RootWindow& window) { return qobject_cast<QLabel*>(window.contentView())->text(); }

// A new account is guided through onboarding first; once finished, the
// main view takes its place, also at the account's next sign-in.
TEST_F(RootWindowTest, ANewAccountGoesThroughOnboardingOnceThenStraightToTheMainView) {
  RootWindow window(labelledViews());
  EXPECT_EQ(shown(window), QStringLiteral("auth"));

  signIn(QStringLiteral("new@example.com"));
  EXPECT_EQ(window.content(), RootWindow::Content::onboarding);
  EXPECT_EQ(shown(window), QStringLiteral("onboarding"));
  ASSERT_TRUE(finishOnboarding);
  finishOnboarding();
  EXPECT_EQ(shown(window), QStringLiteral("main"));

  // Signing out replaces whatever is shown, without looking at onboarding.
  QSignalSpy onboardingLooks(&OnboardingManager::shared(), &OnboardingManager::shouldShowOnboardingChanged);
  AuthStore::shared().clearSession();
  EXPECT_EQ(shown(window), QStringLiteral("auth"));
  EXPECT_EQ(onboardingLooks.count(), 0);

  signIn(QStringLiteral("new@example.com"));
  EXPECT_EQ(shown(window), QStringLiteral("main"));
  // Another account that has not finished it sees it again.
  AuthStore::shared().clearSession();
  signIn(QStringLiteral("other@example.com"));
  EXPECT_EQ(shown(window), QStringLiteral("onboarding"));
}

TEST_F(RootWindowTest, ContentFollowsTheSignInAndKeepsItsStateWhileTheChoiceHolds) {
  RootWindow window(labelledViews());
  EXPECT_EQ(window.content(), RootWindow::Content::auth);
  EXPECT_EQ(shown(window), QStringLiteral("auth"));

  signIn();
  finishOnboarding();
  EXPECT_EQ(window.content(), RootWindow::Content::main);
  EXPECT_EQ(shown(window), QStringLiteral("main"));

  // A token stored again (a new plan, a refresh) does not rebuild the view.
  QPointer<QWidget> mainView = window.contentView();
  AuthStore::shared().setToken(QStringLiteral("tok-1"));
  AuthStore::shared().setTier(QStringLiteral("pro"));
  EXPECT_EQ(window.contentView(), mainView.data());

  AuthStore::shared().clearSession();
  EXPECT_EQ(window.content(), RootWindow::Content::auth);
  EXPECT_EQ(shown(window), QStringLiteral("auth"));
  EXPECT_TRUE(waitUntil([&] { return mainView.isNull(); }));
}

// A view that names only its width; its height is its layout's.
class WidthOnlyView : public QWidget {
 public:
  WidthOnlyView() : step(new QWidget) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    step->setFixedHeight(300);
    column->addWidget(step);
  }
  QSize sizeHint() const override { return QSize(520, -1); }
  QWidget* step;
};

TEST_F(RootWindowTest, WindowTakesTheSizeItsContentAsksForAndFollowsIt) {
  WidthOnlyView* view = nullptr;
  RootWindow window(RootWindow::Views{[&] { return view = new WidthOnlyView; }, {}, {}});
  EXPECT_EQ(window.size(), QSize(520, 300));
  view->step->setFixedHeight(420);
  EXPECT_TRUE(waitUntil([&] { return window.size() == QSize(520, 420); }));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

TEST_F(RootWindowTest, QuitCommandHasItsFixedTitleAndTheQuitKey) {
  RootWindow window(labelledViews());
  QAction* quit = window.quitAction();
  EXPECT_EQ(quit->text(), QStringLiteral("退出Veltrine"));
  EXPECT_EQ(quit->shortcut(), QKeySequence(QKeySequence::Quit));
  EXPECT_EQ(quit->shortcutContext(), Qt::ApplicationShortcut);
  EXPECT_TRUE(window.actions().contains(quit));
}

}  // namespace
