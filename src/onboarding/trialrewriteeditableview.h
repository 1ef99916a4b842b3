#pragma once

#include "onboarding/trialpageframe.h"

class QLabel;
class TrialField;

// Rewriting in place: the page's field holds a sample paragraph; the user
// selects some of it and speaks an instruction with the rewrite hotkey. The
// rewritten text goes to the clipboard (the flow holds back the synthetic
// paste); the field keeps whatever the user made of it.
class TrialRewriteEditableView : public TrialPageFrame {
  Q_OBJECT

 public:
  explicit TrialRewriteEditableView(bool isDone, QWidget* parent = nullptr);

  QString fieldText() const;
  TrialField* field() const { return field_; }

 protected:
  Texts texts() const override;
  void retranslateCard() override;
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* hint_;
  TrialField* field_;
};
