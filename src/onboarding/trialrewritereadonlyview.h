#pragma once

#include "onboarding/trialpageframe.h"

class QLabel;
class TrialSampleText;

// Rewriting read-only text: the user selects part of a sample paragraph that
// cannot be edited and speaks an instruction with the rewrite hotkey. The
// request flow shows the rewritten text in its floating panel; the sample
// never changes.
class TrialRewriteReadonlyView : public TrialPageFrame {
  Q_OBJECT

 public:
  explicit TrialRewriteReadonlyView(bool isDone, QWidget* parent = nullptr);

  TrialSampleText* sample() const { return sample_; }

 protected:
  Texts texts() const override;
  void retranslateCard() override;

 private:
  QLabel* hint_;
  TrialSampleText* sample_;
};
