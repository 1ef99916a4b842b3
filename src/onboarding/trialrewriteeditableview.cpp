#include "onboarding/trialrewriteeditableview.h"

#include "localization/appstrings.h"
#include "onboarding/trialfield.h"
#include "theme/palette.h"

#include <QLabel>
#include <QVBoxLayout>

TrialRewriteEditableView::TrialRewriteEditableView(bool isDone, QWidget* parent)
    : TrialPageFrame(OnboardingStep::rewriteEditable, Palette::neonGreen, QStringLiteral("pencil.line"),
                     HotKeyCombo::rewrite, isDone, parent) {
  hint_ = addCardLabelRow(QStringLiteral("hand.draw.fill"));
  field_ = new TrialField(accent());
  cardLayout()->addWidget(field_);
  retranslate();
}

QString TrialRewriteEditableView::fieldText() const { return field_->text(); }

TrialPageFrame::Texts TrialRewriteEditableView::texts() const {
  const AppStrings& s = currentStrings();
  return {s.obRwEdTitle, s.obRwEdSub, {s.obRwEdI1, s.obRwEdI2, s.obRwEdI3}};
}

void TrialRewriteEditableView::retranslateCard() { hint_->setText(currentStrings().obRwEdFieldLabel); }

void TrialRewriteEditableView::showEvent(QShowEvent* event) {
  TrialPageFrame::showEvent(event);
  // Only an empty field takes the sample paragraph, in the language of the
  // moment; the user's own text, even a changed language's sample, stays.
  // Neither focus nor a selection is taken: the user picks the text.
  if (field_->text().isEmpty()) field_->setText(currentStrings().obRwEdDefaultText);
}
