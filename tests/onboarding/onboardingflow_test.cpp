// The onboarding flow: who sees it, which request passes which exercise, and
// how Back and Next lead through it.
#include "onboarding/onboardingmanager.h"
#include "onboarding/practiceexercise.h"
#include "pipeline/apphotkeyhandler.h"
#include "theme/crossfade.h"
#include "onboardingtest.h"

#include <QSignalSpy>

namespace {

using S = OnboardingStep;
using Authorization = MicrophoneAccess::Authorization;
const QString kUUID = QStringLiteral("4C4C4544-0042-3510-8048-B4C04F4E4D32");

TEST(OnboardingKey, Djb2OfTheLowerCasedAddressAndTheMachine) {
  const struct { QString text, hash; } cases[] = {
      {QString(), QStringLiteral("1505")},
      // Wraps around 2^64 and ends with a zero top nibble: 15 digits, not 16.
      {QStringLiteral("jane.doe@example.com_") + kUUID, QStringLiteral("1dc2fa372cf47f0")},
      {QStringLiteral("Ünïcødé@例え.jp_X"), QStringLiteral("84f1fa4a9e2ae98a")},  // over the UTF-8 bytes
  };
  for (const auto& c : cases) EXPECT_EQ(OnboardingManager::accountHash(c.text), c.hash) << c.text.toStdString();
  FakeMachine machine(std::nullopt);
  EXPECT_EQ(OnboardingManager::onboardingKey(QStringLiteral("User@Example.com")),
            QStringLiteral("onboarding_completed_") +
                OnboardingManager::accountHash(QStringLiteral("user@example.com_unknown")));
}

TEST(OnboardingFlag, CompletedOncePerAccountAndMachineInAnyLetterCaseAcrossRestarts) {
  FakeMachine machine(kUUID);
  UserDefaults defaults(TestEnvironment::root() + QStringLiteral("/onboarding.json"));
  AuthStore auth(defaults);
  const auto signIn = [&](const char* email) {
    auth.setEmail(QString::fromLatin1(email));
    auth.setToken(QStringLiteral("token"));
  };
  auth.setToken(QStringLiteral("token"));  // a token alone: the main window shows, nothing is stored
  OnboardingManager manager(auth, defaults);
  EXPECT_FALSE(manager.shouldShowOnboarding());
  QSignalSpy changed(&manager, &OnboardingManager::shouldShowOnboardingChanged);
  manager.markCompleted();
  EXPECT_TRUE(defaults.keys().filter(QStringLiteral("onboarding")).isEmpty());
  EXPECT_EQ(changed.count(), 0);

  signIn("Jane.Doe@Example.com");
  manager.refresh();
  EXPECT_TRUE(manager.shouldShowOnboarding());
  manager.markCompleted();
  EXPECT_FALSE(manager.shouldShowOnboarding());
  EXPECT_EQ(changed.count(), 2);

  const struct { const char* email; const char* uuid; bool shown; } cases[] = {
      {"JANE.DOE@EXAMPLE.COM", nullptr, false},  // signed out and in, another case
      {"someone.else@example.com", nullptr, true},
      {"jane.doe@example.com", "00000000-0000-0000-0000-000000000001", true},  // another machine
  };
  for (const auto& c : cases) {
    auth.clearSession();
    signIn(c.email);
    machine.uuid = c.uuid ? QString::fromLatin1(c.uuid) : kUUID;
    manager.refresh();
    EXPECT_EQ(manager.shouldShowOnboarding(), c.shown) << c.email;
  }
  // A new run reads the settings file afresh.
  machine.uuid = kUUID;
  signIn("jane.doe@example.com");
  UserDefaults reread(defaults.filePath());
  AuthStore rereadAuth(reread);
  EXPECT_FALSE(OnboardingManager(rereadAuth, reread).shouldShowOnboarding());
  QFile::remove(defaults.filePath());
}

// Beyond what the real requests show: the edge of each exercise.
TEST(PracticeExercise, EachStepPassesOnlyTheRequestThatFitsIt) {
  const auto request = [](const char* operation, std::optional<QString> selected, std::optional<QString> action) {
    RecordingHistory record;
    record.operation = QString::fromLatin1(operation), record.selectedText = selected, record.actionType = action;
    record.status = RecognitionStatus::success;
    return record;
  };
  const QString sel = QStringLiteral("selected words");
  const struct { const char* name; RecordingHistory request; QList<S> passes; } cases[] = {
      {"dictation over a selection", request("transcribe", sel, "paste"), {S::transcribeFill}},
      {"rewrite, empty selection", request("rewrite", QString(), "paste"), {S::rewriteGenerate}},
      {"rewrite of a selection, pasted", request("rewrite", sel, "paste"), {S::rewriteReadonly, S::rewriteEditable}},
      {"rewrite of a selection, no action", request("rewrite", sel, std::nullopt), {S::rewriteReadonly}},
      {"rewrite of a selection, as markdown", request("rewrite", sel, "show_markdown"), {S::rewriteReadonly}},
      {"agent over a selection", request("agent", sel, "paste"), {S::agentSearch}},
      {"unknown operation", request("translate", sel, "paste"), {}},
  };
  for (const auto& c : cases)
    for (S step : allOnboardingSteps())
      EXPECT_EQ(requestPassesStep(step, c.request), c.passes.contains(step)) << c.name << " at step " << rawValue(step);
}

class Navigation : public ::testing::Test {
 protected:
  SharedStateGuard guard;
  FakeAccessibilityTrust trust{false};
  FakeMicrophoneAccess microphone{Authorization::notDetermined};
};

TEST_F(Navigation, PermissionsHoldTheUserUntilBothAreGranted) {
  auto view = openOnboarding(S::permissions);
  EXPECT_FALSE(mayGoOn(*view));
  EXPECT_THAT(*view, Shows(currentStrings().onboardingGrantFirst));
  click(view->nextButton());
  EXPECT_EQ(view->currentStep(), S::permissions);

  // One grant is not enough; both turn Next on without leaving the page.
  microphone.status = Authorization::authorized;
  PermissionManager::shared().refresh();
  EXPECT_FALSE(mayGoOn(*view));
  trust.trusted = true;
  PermissionManager::shared().refresh();
  ASSERT_TRUE(mayGoOn(*view));

  // Revoked later: coming back to the page finds Next disabled again.
  click(view->nextButton());
  ASSERT_EQ(view->currentStep(), S::transcribeFill);
  trust.trusted = false;
  PermissionManager::shared().refresh();
  click(view->backButton());
  EXPECT_FALSE(mayGoOn(*view));
  // Showing the flow reads both again.
  trust.trusted = true;
  ASSERT_FALSE(PermissionManager::shared().allGranted());
  EXPECT_TRUE(mayGoOn(*openOnboarding(S::permissions)));
}

TEST_F(Navigation, TheWholeLineWithEveryExercisePassedAndBackFromItsEnd) {
  trust.trusted = true;
  microphone.status = Authorization::authorized;
  auto view = openOnboarding(S::welcome);
  EXPECT_FALSE(view->backButton()->isVisible());
  QList<S> visited{view->currentStep()};
  while (view->currentStep() != S::complete) {
    if (isPracticeStep(view->currentStep())) view->markCurrentStepCompleted();
    click(view->nextButton());
    ASSERT_NE(view->currentStep(), visited.last()) << "stuck";
    visited << view->currentStep();
    if (visited.size() == 2) {  // the pages cross-fade while Back already takes clicks
      ASSERT_TRUE(CrossFade::running(view.get()));
      QWidget* back = view->backButton();
      QWidget* hit = view->childAt(back->mapTo(view.get(), back->rect().center()));
      EXPECT_TRUE(hit == back || back->isAncestorOf(hit));
    }
  }
  EXPECT_EQ(visited, allOnboardingSteps());
  EXPECT_FALSE(view->nextButton()->isVisible());
  EXPECT_THAT(*view, Shows(currentStrings().onboardingStart));
  while (view->currentStep() != S::welcome) {
    click(view->backButton());
    ASSERT_EQ(view->currentStep(), visited[visited.size() - 2]);
    visited.removeLast();
    EXPECT_TRUE(!isPracticeStep(visited.last()) || mayGoOn(*view)) << "a passed step stays passed";
  }
  EXPECT_FALSE(view->backButton()->isVisible());
}

TEST_F(Navigation, FinishingMarksTheAccountDoneThenRunsTheRootsAction) {
  FakeMachine machine(QStringLiteral("UUID"));
  AuthStore::shared().setEmail(QStringLiteral("ann@example.com"));
  AuthStore::shared().setToken(QStringLiteral("token"));
  OnboardingManager::shared().refresh();
  ASSERT_TRUE(OnboardingManager::shared().shouldShowOnboarding());
  bool doneBeforeTheAction = false;
  OnboardingView view(PermissionManager::shared(), LanguageManager::shared(), HistoryStore::shared(), S::complete, {},
                      [&] { doneBeforeTheAction = !OnboardingManager::shared().shouldShowOnboarding(); });
  view.show();
  click(view.finishButton());
  EXPECT_TRUE(doneBeforeTheAction);
  UserDefaults::shared().remove(OnboardingManager::onboardingKey(QStringLiteral("ann@example.com")));
}

// A pass off screen counts without a fade; on screen it fades in and outlives a language change.
TEST_F(Navigation, APassedStepFadesOnlyOnScreenAndKeepsThroughALanguageChange) {
  OnboardingView hidden(PermissionManager::shared(), LanguageManager::shared(), HistoryStore::shared(),
                        S::rewriteReadonly, {}, [] {});
  hidden.markCurrentStepCompleted();
  EXPECT_FALSE(CrossFade::running(&hidden));
  EXPECT_TRUE(hidden.nextButton()->isEnabled());
  LanguageManager::shared().setCurrent(AppLanguage::en);
  auto view = openOnboarding(S::agentSearch);
  view->markCurrentStepCompleted();
  EXPECT_TRUE(CrossFade::running(view.get()));
  QWidget* page = view->currentPage();
  LanguageManager::shared().setCurrent(AppLanguage::zhHant);
  const AppStrings& s = currentStrings();
  for (const QString& text : {s.obAgSearchTitle, s.obAgSearchI1, s.obAgSearchI2, s.obAgSearchI3, s.onboardingNext,
                              s.onboardingBack, s.onboardingStepDone})
    EXPECT_THAT(*view, Shows(text));
  EXPECT_EQ(view->currentPage(), page);
  EXPECT_TRUE(mayGoOn(*view));
}

TEST_F(Navigation, ResultsOnlyReachTheClipboardWhileTheFlowIsOnScreen) {
  AppHotKeyHandler& flow = AppHotKeyHandler::shared();
  ASSERT_FALSE(flow.skipSystemPaste());
  auto view = openOnboarding(S::transcribeFill);
  EXPECT_TRUE(flow.skipSystemPaste());
  view->hide();  // the window closed: the user works elsewhere again
  EXPECT_FALSE(flow.skipSystemPaste());
  view->show();
  EXPECT_TRUE(flow.skipSystemPaste());
  view.reset();  // the root view replaced the flow
  EXPECT_FALSE(flow.skipSystemPaste());
}

}  // namespace
