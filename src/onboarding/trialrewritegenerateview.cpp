#include "onboarding/trialrewritegenerateview.h"

#include "localization/appstrings.h"
#include "theme/palette.h"

TrialRewriteGenerateView::TrialRewriteGenerateView(bool isDone, RecordingResultStore& result, QWidget* parent)
    : TrialFillPage(OnboardingStep::rewriteGenerate, Palette::neonGreen, QStringLiteral("text.badge.plus"),
                    HotKeyCombo::rewrite, isDone, result, false, parent) {
  retranslate();
}

TrialPageFrame::Texts TrialRewriteGenerateView::texts() const {
  const AppStrings& s = currentStrings();
  return {s.obRwGenTitle, s.obRwGenSub, {s.obRwGenI1, s.obRwGenI2, s.obRwGenI3}};
}

TrialFillPage::FieldTexts TrialRewriteGenerateView::fieldTexts() const {
  const AppStrings& s = currentStrings();
  return {s.obRwGenFieldLabel, s.obRwGenPlaceholder};
}
