#include "onboarding/onboardingview.h"

#include "fakeaccessibilitytrust.h"
#include "fakemachine.h"
#include "fakemicrophoneaccess.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/plainbutton.h"
#include "onboarding/completionbadge.h"
#include "onboarding/onboardingmanager.h"
#include "onboarding/trialpageframe.h"
#include "pipeline/apphotkeyhandler.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "pipeline/recordinghistory.h"
#include "service/authstore.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Authorization = MicrophoneAccess::Authorization;
using S = OnboardingStep;

RecordingHistory record(const char* operation, std::optional<QString> selected = std::nullopt,
                        RecognitionStatus status = RecognitionStatus::success,
                        std::optional<QString> action = QStringLiteral("paste")) {
  RecordingHistory r;
  r.id = QStringLiteral("R-%1").arg(QString::fromLatin1(operation));
  r.operation = QString::fromLatin1(operation);
  r.selectedText = std::move(selected);
  r.actionType = std::move(action);
  r.status = status;
  r.retryable = true;
  r.createdAt = QDateTime::currentDateTimeUtc();
  return r;
}

class OnboardingViewTest : public ::testing::Test {
 protected:
  std::unique_ptr<OnboardingView> open(S step, QSet<int> completed = {}) {
    auto view = std::make_unique<OnboardingView>(PermissionManager::shared(), LanguageManager::shared(),
                                                 HistoryStore::shared(), step, std::move(completed),
                                                 [this] { ++finished; });
    view->show();
    return view;
  }

  static bool nextEnabled(const OnboardingView& view) {
    return view.nextButton()->isVisibleTo(&view) && view.nextButton()->isEnabled();
  }

  static bool badgeDone(const OnboardingView& view) {
    auto* page = qobject_cast<TrialPageFrame*>(view.currentPage());
    return page && page->findChild<CompletionBadge*>()->isDone();
  }

  FakeAccessibilityTrust trust{false};
  FakeMicrophoneAccess microphone{Authorization::notDetermined};
  int finished = 0;
};

TEST_F(OnboardingViewTest, TheNavigationAtEachEnd) {
  auto view = open(S::welcome);
  const AppStrings& strings = currentStrings();
  EXPECT_FALSE(view->backButton()->isVisibleTo(view.get()));
  EXPECT_TRUE(nextEnabled(*view));
  EXPECT_EQ(view->nextButtonText(), strings.onboardingNext);
  view->goBack();
  EXPECT_EQ(view->currentStep(), S::welcome);

  auto last = open(S::complete);
  EXPECT_TRUE(last->backButton()->isVisibleTo(last.get()));
  EXPECT_FALSE(last->nextButton()->isVisibleTo(last.get()));
  EXPECT_TRUE(last->finishButton()->isVisibleTo(last.get()));
  last->goNext();
  EXPECT_EQ(last->currentStep(), S::complete);
  last->goBack();
  EXPECT_EQ(last->currentStep(), S::agentSearch);
}

TEST_F(OnboardingViewTest, PermissionsHoldTheUserUntilBothAreGranted) {
  auto view = open(S::permissions);
  const AppStrings& strings = currentStrings();
  EXPECT_FALSE(nextEnabled(*view));
  EXPECT_EQ(view->nextButtonText(), strings.onboardingGrantFirst);
  EXPECT_EQ(view->nextButton()->color(), Palette::cyberTextTertiary);
  view->goNext();
  EXPECT_EQ(view->currentStep(), S::permissions);

  // One grant is not enough; both turn Next on without leaving the page.
  microphone.status = Authorization::authorized;
  PermissionManager::shared().refresh();
  EXPECT_FALSE(nextEnabled(*view));
  trust.trusted = true;
  PermissionManager::shared().refresh();
  EXPECT_TRUE(nextEnabled(*view));
  EXPECT_EQ(view->nextButtonText(), strings.onboardingNext);
  EXPECT_EQ(view->nextButton()->color(), Palette::neonCyan);

  // Revoked later: coming back to the page finds Next disabled again.
  view->goNext();
  ASSERT_EQ(view->currentStep(), S::transcribeFill);
  trust.trusted = false;
  PermissionManager::shared().refresh();
  view->goBack();
  EXPECT_FALSE(nextEnabled(*view));
}

TEST_F(OnboardingViewTest, AnExercisePassesOnTheNewestSuccessfulRecordThatFitsIt) {
  auto view = open(S::rewriteReadonly);
  const AppStrings& strings = currentStrings();
  EXPECT_FALSE(nextEnabled(*view));
  EXPECT_EQ(view->nextButtonText(), strings.onboardingTryFirst);

  // Only the first (newest) record counts, whatever older ones hold.
  view->trackTrialResult({record("transcribe"), record("rewrite", QStringLiteral("fox"))});
  // Not yet successful, or the wrong kind of rewrite: nothing.
  view->trackTrialResult({record("rewrite", QStringLiteral("fox"), RecognitionStatus::processing)});
  view->trackTrialResult({record("rewrite", QStringLiteral("fox"), RecognitionStatus::failed)});
  view->trackTrialResult({record("rewrite", QString())});
  view->trackTrialResult({});
  EXPECT_TRUE(view->stepCompleted().isEmpty());
  EXPECT_FALSE(badgeDone(*view));

  QSignalSpy completed(view.get(), &OnboardingView::stepCompletedChanged);
  view->trackTrialResult({record("rewrite", QStringLiteral("fox"))});
  EXPECT_EQ(view->stepCompleted(), QSet<int>{rawValue(S::rewriteReadonly)});
  EXPECT_TRUE(badgeDone(*view));
  EXPECT_TRUE(nextEnabled(*view));
  EXPECT_EQ(view->nextButtonText(), strings.onboardingNext);
  // Passed once: not tested again, and the step does not move by itself.
  view->trackTrialResult({record("rewrite", QStringLiteral("fox"))});
  EXPECT_EQ(completed.count(), 1);
  EXPECT_EQ(view->currentStep(), S::rewriteReadonly);
}

TEST_F(OnboardingViewTest, RecordsPublishedOutsideTheExercisesPassNothing) {
  trust.trusted = true;
  microphone.status = Authorization::authorized;
  for (S step : {S::welcome, S::permissions, S::complete}) {
    auto view = open(step);
    for (const char* operation : {"transcribe", "rewrite", "agent"}) view->trackTrialResult({record(operation)});
    EXPECT_TRUE(view->stepCompleted().isEmpty()) << rawValue(step);
    // Also not the exercise that comes next.
    if (step == S::permissions) {
      view->goNext();
      ASSERT_EQ(view->currentStep(), S::transcribeFill);
      EXPECT_FALSE(view->canAdvance());
    }
  }
}

TEST_F(OnboardingViewTest, APassedStepStaysPassedBackAndForth) {
  auto view = open(S::transcribeFill);
  view->trackTrialResult({record("transcribe")});
  view->goNext();
  EXPECT_EQ(view->currentStep(), S::rewriteGenerate);
  EXPECT_FALSE(nextEnabled(*view));
  view->goBack();
  EXPECT_EQ(view->currentStep(), S::transcribeFill);
  EXPECT_TRUE(badgeDone(*view));
  EXPECT_TRUE(nextEnabled(*view));
}

TEST_F(OnboardingViewTest, TheWholeLineWithEveryExercisePassed) {
  trust.trusted = true;
  microphone.status = Authorization::authorized;
  auto view = open(S::welcome);
  QList<S> visited{view->currentStep()};
  const QList<RecordingHistory> passing[] = {
      {record("transcribe")},
      {record("rewrite")},
      {record("rewrite", QStringLiteral("fox"), RecognitionStatus::success, std::nullopt)},
      {record("rewrite", QStringLiteral("meeting"))},
      {record("agent", std::nullopt, RecognitionStatus::success, QStringLiteral("show_markdown"))},
  };
  int exercise = 0;
  while (view->currentStep() != S::complete) {
    if (isPracticeStep(view->currentStep())) view->trackTrialResult(passing[exercise++]);
    view->goNext();
    visited << view->currentStep();
  }
  EXPECT_EQ(visited, allOnboardingSteps());
  EXPECT_EQ(view->stepCompleted(), (QSet<int>{2, 3, 4, 5, 6}));
}

TEST_F(OnboardingViewTest, TheEditableExerciseNeedsThePasteAction) {
  auto view = open(S::rewriteEditable);
  view->trackTrialResult({record("rewrite", QStringLiteral("meeting"), RecognitionStatus::success, std::nullopt)});
  view->trackTrialResult(
      {record("rewrite", QStringLiteral("meeting"), RecognitionStatus::success, QStringLiteral("show_markdown"))});
  EXPECT_FALSE(nextEnabled(*view));
  view->trackTrialResult({record("rewrite", QStringLiteral("meeting"))});
  EXPECT_TRUE(nextEnabled(*view));
}

TEST_F(OnboardingViewTest, TheHistoryStorePublicationsDriveTheVerdict) {
  AuthStore::shared().setEmail(QStringLiteral("ann@example.com"));
  HistoryStore& history = HistoryStore::shared();
  history.load();
  auto view = open(S::agentSearch);

  // A request's record arrives while processing, then turns successful.
  RecordingHistory live = record("agent", std::nullopt, RecognitionStatus::processing, std::nullopt);
  history.addRecord(live);
  EXPECT_FALSE(nextEnabled(*view));
  history.updateRecord(live.id, [](RecordingHistory& r) {
    r.status = RecognitionStatus::success;
    r.actionType = QStringLiteral("show_markdown");
  });
  EXPECT_TRUE(nextEnabled(*view));
}

TEST_F(OnboardingViewTest, FinishingMarksTheAccountDoneThenRunsTheRootsAction) {
  FakeMachine machine(QStringLiteral("UUID"));
  AuthStore::shared().setEmail(QStringLiteral("ann@example.com"));
  AuthStore::shared().setToken(QStringLiteral("token"));
  ASSERT_TRUE(OnboardingManager::shared().shouldShowOnboarding());
  bool doneBeforeTheAction = false;
  auto view = std::make_unique<OnboardingView>(PermissionManager::shared(), LanguageManager::shared(),
                                          HistoryStore::shared(), S::complete, QSet<int>{}, [&] {
                                            doneBeforeTheAction = !OnboardingManager::shared().shouldShowOnboarding();
                                          });
  view->finishButton()->click();
  EXPECT_TRUE(doneBeforeTheAction);
}

TEST_F(OnboardingViewTest, ShowingTheFlowReadsThePermissionsAgain) {
  trust.trusted = true;
  microphone.status = Authorization::authorized;
  ASSERT_FALSE(PermissionManager::shared().allGranted());
  auto view = open(S::permissions);
  EXPECT_TRUE(PermissionManager::shared().allGranted());
  EXPECT_TRUE(nextEnabled(*view));
}

TEST_F(OnboardingViewTest, ALanguageChangeRedrawsTextsAndKeepsTheProgress) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  auto view = open(S::transcribeFill);
  view->trackTrialResult({record("transcribe")});
  auto* page = qobject_cast<TrialPageFrame*>(view->currentPage());
  ASSERT_NE(page, nullptr);

  LanguageManager::shared().setCurrent(AppLanguage::ko);
  const AppStrings& korean = currentStrings();
  EXPECT_EQ(page->shownTitle(), korean.obTriFillTitle);
  EXPECT_EQ(view->nextButtonText(), korean.onboardingNext);
  EXPECT_EQ(view->nextButton()->text(), korean.onboardingNext);
  EXPECT_EQ(view->backButton()->text(), korean.onboardingBack);
  EXPECT_EQ(view->currentPage(), page);
  EXPECT_EQ(view->stepCompleted(), QSet<int>{rawValue(S::transcribeFill)});
}

TEST_F(OnboardingViewTest, ResultsOnlyReachTheClipboardWhileTheFlowIsOnScreen) {
  AppHotKeyHandler& flow = AppHotKeyHandler::shared();
  ASSERT_FALSE(flow.skipSystemPaste());
  auto view = open(S::transcribeFill);
  EXPECT_TRUE(flow.skipSystemPaste());
  view->hide();  // the window closed: the user works elsewhere again
  EXPECT_FALSE(flow.skipSystemPaste());
  view->show();
  EXPECT_TRUE(flow.skipSystemPaste());
  view.reset();  // the root view replaced the flow
  EXPECT_FALSE(flow.skipSystemPaste());
}

TEST_F(OnboardingViewTest, WithoutAHistoryTheLiveRequestDecides) {
  HistoryStore::shared().setRetentionPolicy(RetentionPolicy::never);
  auto view = open(S::rewriteEditable);
  view->trackLiveRequest(record("rewrite", QStringLiteral("meeting"), RecognitionStatus::failed));
  EXPECT_FALSE(view->canAdvance());
  view->trackLiveRequest(record("rewrite", QStringLiteral("meeting")));
  EXPECT_TRUE(view->canAdvance());
}

TEST_F(OnboardingViewTest, WhileTheHistoryKeepsRecordsTheyDecide) {
  HistoryStore::shared().setRetentionPolicy(RetentionPolicy::sevenDays);
  auto view = open(S::transcribeFill);
  view->trackLiveRequest(record("transcribe"));
  EXPECT_FALSE(view->canAdvance());
}

}  // namespace
