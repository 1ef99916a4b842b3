#include "onboarding/trialagentsearchview.h"

#include "localization/appstrings.h"
#include "onboarding/examplechip.h"
#include "theme/palette.h"

#include <QLabel>
#include <QVBoxLayout>

TrialAgentSearchView::TrialAgentSearchView(bool isDone, QWidget* parent)
    : TrialPageFrame(OnboardingStep::agentSearch, Palette::neonOrange, QStringLiteral("brain.head.profile"),
                     HotKeyCombo::agent, isDone, parent) {
  hint_ = addCardLabelRow(QStringLiteral("quote.bubble"));
  auto* chips = new QVBoxLayout;
  chips->setSpacing(6);
  for (ExampleChip*& chip : examples_) {
    chip = new ExampleChip(accent());
    chips->addWidget(chip, 0, Qt::AlignLeft);
  }
  cardLayout()->addLayout(chips);
  retranslate();
}

TrialPageFrame::Texts TrialAgentSearchView::texts() const {
  const AppStrings& s = currentStrings();
  return {s.obAgSearchTitle, s.obAgSearchSub, {s.obAgSearchI1, s.obAgSearchI2, s.obAgSearchI3}};
}

void TrialAgentSearchView::retranslateCard() {
  const AppStrings& s = currentStrings();
  hint_->setText(s.obAgSearchExampleLabel);
  const QString examples[] = {s.obAgSearchEx1, s.obAgSearchEx2, s.obAgSearchEx3};
  for (int i = 0; i < 3; ++i) examples_[i]->setExample(examples[i]);
}

QStringList TrialAgentSearchView::shownExamples() const {
  QStringList shown;
  for (const ExampleChip* chip : examples_) shown.append(chip->text());
  return shown;
}
