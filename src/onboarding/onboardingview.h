#pragma once

#include "onboarding/onboardingstep.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <functional>

class HistoryStore;
class LiveRequestWatcher;
class LanguageManager;
class NeonButton;
class PermissionManager;
class PlainButton;
class QScrollArea;
class QVBoxLayout;
class StepIndicator;
struct RecordingHistory;

// The onboarding flow: what a signed-in user sees instead of the main window
// until they have finished it on this machine. Eight steps in a line (welcome,
// permissions, five practice exercises, completion) with the step indicator
// on top, the step's page in the middle and Back / Next below. It is 1120 by
// 720; made smaller on a small screen, the page scrolls and the indicator and
// Back / Next stay in view.
//
// Each exercise is one real request made with a global hotkey. The flow
// decides by itself whether it was passed, from the request's history record
// (the newest one, whenever the records are published); the pages only show
// the verdict. Next stays disabled until the step allows moving on; nothing
// moves on by itself. Progress lives in the view only: a flow shown again
// starts over.
//
// While the flow is on screen the request flow's results go to the clipboard
// only (no synthetic paste reaches another application).
class OnboardingView : public QWidget {
  Q_OBJECT

 public:
  // Moving between steps and passing one cross-fade over this long.
  static constexpr int kStepFadeMs = 300;

  OnboardingView(PermissionManager& pm, LanguageManager& lang, HistoryStore& historyStore, OnboardingStep currentStep,
                 QSet<int> stepCompleted, std::function<void()> onFinish, QWidget* parent = nullptr);
  ~OnboardingView() override;

  QSize sizeHint() const override;

  OnboardingStep currentStep() const { return currentStep_; }
  // The raw values of the practice steps passed so far.
  const QSet<int>& stepCompleted() const { return stepCompleted_; }

  // Welcome and completion always allow it, permissions once both are
  // granted, an exercise once it was passed.
  bool canAdvance() const;
  // One step forward when canAdvance(), never past the completion page.
  void goNext();
  // One step back, never before the welcome page.
  void goBack();
  // Marks onboarding complete for the account, then runs onFinish.
  void finish();
  // The history's records as just published: passes the current exercise
  // when the newest one is a successful request that fits it.
  void trackTrialResult(const QList<RecordingHistory>& records);
  void markCurrentStepCompleted();
  // A request of the live flow ended. The history's records decide as long
  // as the history keeps them; under the retention policy "never" it keeps
  // none, and the request itself is judged instead.
  void trackLiveRequest(const RecordingHistory& request);

  // What is on screen (for tests and the root view).
  QWidget* currentPage() const { return page_; }
  NeonButton* nextButton() const { return next_; }
  NeonButton* finishButton() const { return finish_; }
  PlainButton* backButton() const { return back_; }
  StepIndicator* stepIndicator() const { return indicator_; }
  QString nextButtonText() const;

 Q_SIGNALS:
  void currentStepChanged();
  void stepCompletedChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QWidget* buildNavigationBar();
  QWidget* makePage(OnboardingStep step);
  void setCurrentStep(OnboardingStep step);
  void showPage();
  void updateNavigation();
  void retranslate();
  // The request flow's switch: results to the clipboard only while shown.
  void setAppeared(bool appeared);

  PermissionManager& pm_;
  LanguageManager& lang_;
  HistoryStore& historyStore_;
  OnboardingStep currentStep_;
  QSet<int> stepCompleted_;
  std::function<void()> onFinish_;
  bool appeared_ = false;

  LiveRequestWatcher* live_;
  StepIndicator* indicator_;
  QScrollArea* scroll_;
  QVBoxLayout* pageSlot_;
  QPointer<QWidget> page_;
  PlainButton* back_;
  NeonButton* next_;
  NeonButton* finish_;
};
