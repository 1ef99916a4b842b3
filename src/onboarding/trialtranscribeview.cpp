#include "onboarding/trialtranscribeview.h"

#include "localization/appstrings.h"
#include "theme/palette.h"

TrialTranscribeView::TrialTranscribeView(bool isDone, RecordingResultStore& result, QWidget* parent)
    : TrialFillPage(OnboardingStep::transcribeFill, Palette::neonCyan, QStringLiteral("mic.fill"),
                    HotKeyCombo::transcribe, isDone, result, true, parent) {
  retranslate();
}

TrialPageFrame::Texts TrialTranscribeView::texts() const {
  const AppStrings& s = currentStrings();
  return {s.obTriFillTitle, s.obTriFillSub, {s.obTriFillI1, s.obTriFillI2, s.obTriFillI3}};
}

TrialFillPage::FieldTexts TrialTranscribeView::fieldTexts() const {
  const AppStrings& s = currentStrings();
  return {s.obTriFillFieldLabel, s.obTriFillPlaceholder};
}
