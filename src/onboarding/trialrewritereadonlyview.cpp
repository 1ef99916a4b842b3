#include "onboarding/trialrewritereadonlyview.h"

#include "localization/appstrings.h"
#include "onboarding/trialsampletext.h"
#include "theme/palette.h"

#include <QLabel>
#include <QVBoxLayout>

TrialRewriteReadonlyView::TrialRewriteReadonlyView(bool isDone, QWidget* parent)
    : TrialPageFrame(OnboardingStep::rewriteReadonly, Palette::neonGreen, QStringLiteral("doc.text.magnifyingglass"),
                     HotKeyCombo::rewrite, isDone, parent) {
  hint_ = addCardLabelRow(QStringLiteral("hand.draw.fill"));
  sample_ = new TrialSampleText(accent());
  cardLayout()->addWidget(sample_);
  retranslate();
}

TrialPageFrame::Texts TrialRewriteReadonlyView::texts() const {
  const AppStrings& s = currentStrings();
  return {s.obRwRoTitle, s.obRwRoSub, {s.obRwRoI1, s.obRwRoI2, s.obRwRoI3}};
}

void TrialRewriteReadonlyView::retranslateCard() {
  hint_->setText(currentStrings().obRwRoSelectHint);
  sample_->setSample(currentStrings().obRwRoSampleText);
}
