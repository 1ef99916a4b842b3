#pragma once

#include "onboarding/trialpageframe.h"

class ExampleChip;
class QLabel;

// Asking the agent: the page lists three example questions; the user presses
// the agent hotkey and asks one (or anything else). The request flow carries
// out whatever the service answers, a search shows in the floating panel.
class TrialAgentSearchView : public TrialPageFrame {
  Q_OBJECT

 public:
  explicit TrialAgentSearchView(bool isDone, QWidget* parent = nullptr);

  QStringList shownExamples() const;

 protected:
  Texts texts() const override;
  void retranslateCard() override;

 private:
  QLabel* hint_;
  ExampleChip* examples_[3];
};
