#include "onboarding/onboardingview.h"
#include "awaittask.h"
#include "fakeaccessibilitytrust.h"
#include "fakemicrophoneaccess.h"
#include "localization/languagemanager.h"
#include "mainwindow/plainbutton.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "theme/crossfade.h"
#include "theme/neonbutton.h"
#include <gtest/gtest.h>

namespace {
struct StepAnimation : ::testing::Test {
  FakeAccessibilityTrust trust{false};
  FakeMicrophoneAccess microphone{MicrophoneAccess::Authorization::notDetermined};
  OnboardingView welcome{PermissionManager::shared(), LanguageManager::shared(), HistoryStore::shared(),
                         OnboardingStep::welcome, {}, [] {}};
  OnboardingView exercise{PermissionManager::shared(), LanguageManager::shared(), HistoryStore::shared(),
                          OnboardingStep::rewriteReadonly, {}, [] {}};
};

TEST_F(StepAnimation, MovingBetweenStepsCrossFadesWhileTheButtonsStayClickable) {
  welcome.show();
  welcome.goNext();
  EXPECT_EQ(welcome.currentStep(), OnboardingStep::permissions);
  const CrossFade* fade = CrossFade::running(&welcome);
  ASSERT_TRUE(fade);
  EXPECT_EQ(fade->animation().duration(), 300);
  QWidget* back = welcome.backButton();
  QWidget* hit = welcome.childAt(back->mapTo(&welcome, back->rect().center()));
  EXPECT_TRUE(hit == back || back->isAncestorOf(hit));
  EXPECT_TRUE(waitUntil([&] { return !CrossFade::running(&welcome); }));
}

TEST_F(StepAnimation, APassedExerciseEasesOutItsNewLookOnlyOnScreen) {
  exercise.markCurrentStepCompleted();  // hidden
  EXPECT_FALSE(CrossFade::running(&exercise));
  EXPECT_TRUE(exercise.nextButton()->isEnabled());
  exercise.show();
  exercise.markCurrentStepCompleted();
  ASSERT_TRUE(CrossFade::running(&exercise));
  EXPECT_EQ(CrossFade::running(&exercise)->animation().easingCurve(), QEasingCurve::OutQuad);
}

}  // namespace
