#include "onboarding/onboardingview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/plainbutton.h"
#include "onboarding/completionpage.h"
#include "onboarding/liverequestwatcher.h"
#include "onboarding/onboardingmanager.h"
#include "onboarding/permissionspage.h"
#include "onboarding/practiceexercise.h"
#include "onboarding/stepindicator.h"
#include "onboarding/trialagentsearchview.h"
#include "onboarding/trialrewriteeditableview.h"
#include "onboarding/trialrewritegenerateview.h"
#include "onboarding/trialrewritereadonlyview.h"
#include "onboarding/trialtranscribeview.h"
#include "onboarding/welcomepage.h"
#include "pipeline/apphotkeyhandler.h"
#include "pipeline/audiorecorder.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "pipeline/recordingresultstore.h"
#include "theme/crossfade.h"
#include "theme/cyberbggradient.h"
#include "theme/cyberdividerline.h"
#include "theme/fonts.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"
#include "theme/scanlinetexture.h"
#include "theme/thinscrollbar.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 1120;
constexpr int kHeight = 720;
// The indicator draws the current circle's glow inside its own margin (8).
constexpr int kIndicatorGlowMargin = 8;

}  // namespace

OnboardingView::OnboardingView(PermissionManager& pm, LanguageManager& lang, HistoryStore& historyStore,
                               OnboardingStep currentStep, QSet<int> stepCompleted, std::function<void()> onFinish,
                               QWidget* parent)
    : QWidget(parent),
      pm_(pm),
      lang_(lang),
      historyStore_(historyStore),
      currentStep_(currentStep),
      stepCompleted_(std::move(stepCompleted)),
      onFinish_(std::move(onFinish)) {
  resize(kWidth, kHeight);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  indicator_ = new StepIndicator(currentStep_);
  auto* indicatorRow = new QHBoxLayout;
  indicatorRow->setContentsMargins(36 - kIndicatorGlowMargin, 16 - kIndicatorGlowMargin, 36 - kIndicatorGlowMargin,
                                   16 - kIndicatorGlowMargin);
  indicatorRow->addWidget(indicator_);
  column->addLayout(indicatorRow);
  column->addWidget(new CyberDividerLine(Palette::neonCyan));

  scroll_ = new QScrollArea;
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  // Only a window narrower than the flow's own width scrolls sideways.
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // A slim indicator in the theme's line colour, without the platform's arrows.
  ThinScrollBar{Palette::cyberBorder, Palette::cyberTextTertiary, QMargins(0, 4, 2, 4)}.apply(*scroll_->verticalScrollBar());
  scroll_->viewport()->setAutoFillBackground(false);
  scroll_->setAutoFillBackground(false);
  auto* content = new QWidget;
  content->setAutoFillBackground(false);
  pageSlot_ = new QVBoxLayout(content);
  pageSlot_->setContentsMargins(50, 28, 50, 28);
  pageSlot_->setSpacing(0);
  scroll_->setWidget(content);
  // The scroll area paints its content's background; the page's backdrop
  // shows through instead.
  content->setAutoFillBackground(false);
  column->addWidget(scroll_, 1);

  column->addWidget(new CyberDividerLine(Palette::neonGreen));
  column->addWidget(buildNavigationBar());

  showPage();
  retranslate();

  // Every publication of the records is a chance to pass the exercise on screen.
  connect(&historyStore_, &HistoryStore::recordsChanged, this,
          [this] { trackTrialResult(historyStore_.records()); });
  live_ = new LiveRequestWatcher(AudioRecorder::shared(), AppHotKeyHandler::shared(), RecordingResultStore::shared(),
                                 this);
  connect(live_, &LiveRequestWatcher::requestFinished, this, &OnboardingView::trackLiveRequest);
  connect(&pm_, &PermissionManager::allGrantedChanged, this, &OnboardingView::updateNavigation);
  connect(&lang_, &LanguageManager::currentChanged, this, &OnboardingView::retranslate);
}

OnboardingView::~OnboardingView() { setAppeared(false); }

QSize OnboardingView::sizeHint() const { return QSize(kWidth, kHeight); }

QWidget* OnboardingView::buildNavigationBar() {
  auto* bar = new QWidget;
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(48, 14, 48, 14);
  row->setSpacing(0);

  back_ = new PlainButton(QString(), rajdhaniSemiBold(13), Palette::cyberTextSecondary);
  back_->setSymbol(QStringLiteral("chevron.left"), 11);
  back_->setSpacing(6);
  connect(back_, &PlainButton::clicked, this, &OnboardingView::goBack);
  row->addWidget(back_);
  row->addStretch(1);

  next_ = new NeonButton(QString(), Palette::neonCyan);
  next_->setLabelFont(rajdhaniSemiBold(14));
  next_->setSpacing(8);
  connect(next_, &NeonButton::clicked, this, &OnboardingView::goNext);
  row->addWidget(next_);

  finish_ = new NeonButton(QString(), Palette::neonGreen);
  finish_->setLabelFont(rajdhaniSemiBold(14));
  finish_->setSpacing(8);
  finish_->setTrailingSymbol(QStringLiteral("arrow.right"), 12);
  connect(finish_, &NeonButton::clicked, this, &OnboardingView::finish);
  row->addWidget(finish_);
  return bar;
}

bool OnboardingView::canAdvance() const {
  switch (currentStep_) {
    case OnboardingStep::welcome:
    case OnboardingStep::complete:
      return true;
    case OnboardingStep::permissions:
      return pm_.allGranted();
    default:
      return stepCompleted_.contains(rawValue(currentStep_));
  }
}

void OnboardingView::goNext() {
  if (!canAdvance()) return;
  if (const std::optional<OnboardingStep> next = onboardingStepFromRawValue(rawValue(currentStep_) + 1)) {
    setCurrentStep(*next);
  }
}

void OnboardingView::goBack() {
  if (const std::optional<OnboardingStep> previous = onboardingStepFromRawValue(rawValue(currentStep_) - 1)) {
    setCurrentStep(*previous);
  }
}

void OnboardingView::finish() {
  OnboardingManager::shared().markCompleted();
  if (onFinish_) onFinish_();
}

void OnboardingView::trackTrialResult(const QList<RecordingHistory>& records) {
  // New records go to the front: the first is the newest, and only it counts.
  if (records.isEmpty()) return;
  const RecordingHistory& newest = records.first();
  if (newest.status != RecognitionStatus::success) return;
  if (stepCompleted_.contains(rawValue(currentStep_))) return;
  if (requestPassesStep(currentStep_, newest)) markCurrentStepCompleted();
}

void OnboardingView::trackLiveRequest(const RecordingHistory& request) {
  if (historyStore_.retentionPolicy() != RetentionPolicy::never) return;
  trackTrialResult({request});
}

void OnboardingView::markCurrentStepCompleted() {
  CrossFade::start(this, kStepFadeMs, QEasingCurve::OutQuad);
  stepCompleted_.insert(rawValue(currentStep_));
  if (auto* trial = qobject_cast<TrialPageFrame*>(page_.data())) trial->setDone(true);
  updateNavigation();
  Q_EMIT stepCompletedChanged();
}

void OnboardingView::setCurrentStep(OnboardingStep step) {
  if (step == currentStep_) return;
  // Back and Next cross-fade from the old step to the new one.
  CrossFade::start(this, kStepFadeMs, QEasingCurve::InOutQuad);
  currentStep_ = step;
  indicator_->setCurrent(step);
  showPage();
  Q_EMIT currentStepChanged();
}

QWidget* OnboardingView::makePage(OnboardingStep step) {
  const bool isDone = stepCompleted_.contains(rawValue(step));
  switch (step) {
    case OnboardingStep::welcome:
      return new WelcomePage;
    case OnboardingStep::permissions:
      return new PermissionsPage(pm_);
    case OnboardingStep::transcribeFill:
      return new TrialTranscribeView(isDone, RecordingResultStore::shared());
    case OnboardingStep::rewriteGenerate:
      return new TrialRewriteGenerateView(isDone, RecordingResultStore::shared());
    case OnboardingStep::rewriteReadonly:
      return new TrialRewriteReadonlyView(isDone);
    case OnboardingStep::rewriteEditable:
      return new TrialRewriteEditableView(isDone);
    case OnboardingStep::agentSearch:
      return new TrialAgentSearchView(isDone);
    case OnboardingStep::complete:
      return new CompletionPage;
  }
  return new QWidget;
}

void OnboardingView::showPage() {
  // Leaving a step discards its page, with whatever was typed into it.
  if (page_) {
    pageSlot_->removeWidget(page_);
    delete page_.data();
  }
  page_ = makePage(currentStep_);
  pageSlot_->addWidget(page_);
  scroll_->verticalScrollBar()->setValue(0);
  updateNavigation();
}

QString OnboardingView::nextButtonText() const {
  const AppStrings& strings = currentStrings();
  if (canAdvance()) return strings.onboardingNext;
  return currentStep_ == OnboardingStep::permissions ? strings.onboardingGrantFirst : strings.onboardingTryFirst;
}

void OnboardingView::updateNavigation() {
  const bool advance = canAdvance();
  const bool atEnd = currentStep_ == OnboardingStep::complete;
  back_->setVisible(currentStep_ != OnboardingStep::welcome);
  next_->setVisible(!atEnd);
  finish_->setVisible(atEnd);
  next_->setText(nextButtonText());
  next_->setTrailingSymbol(advance ? QStringLiteral("chevron.right") : QString(), 11);
  next_->setColor(advance ? Palette::neonCyan : Palette::cyberTextTertiary);
  next_->setEnabled(advance);
}

void OnboardingView::retranslate() {
  const AppStrings& strings = currentStrings();
  back_->setText(strings.onboardingBack);
  finish_->setText(strings.onboardingStart);
  updateNavigation();
}

void OnboardingView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  CyberBgGradient().paint(painter, QRectF(rect()));
  ScanlineTexture{0.02}.paint(painter, QRectF(rect()));
}

// A minimised or closed window counts as gone: the user works elsewhere then.
void OnboardingView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  setAppeared(true);
}

void OnboardingView::hideEvent(QHideEvent* event) {
  setAppeared(false);
  QWidget::hideEvent(event);
}

void OnboardingView::setAppeared(bool appeared) {
  if (appeared == appeared_) return;
  appeared_ = appeared;
  if (appeared) {
    // Both permissions are read again (without asking) before anything else.
    pm_.refresh();
  }
  // While the flow is on screen a result only goes to the clipboard: no
  // synthetic paste may land in whatever application lies behind it. The
  // practice pages take the result from the latest-result store instead.
  AppHotKeyHandler::shared().setSkipSystemPaste(appeared);
}
