#pragma once

#include "onboarding/trialfillpage.h"

// The generation exercise: with nothing selected, the user speaks a command
// with the rewrite hotkey, and the generated text lands in the page's field.
class TrialRewriteGenerateView : public TrialFillPage {
  Q_OBJECT

 public:
  TrialRewriteGenerateView(bool isDone, RecordingResultStore& result, QWidget* parent = nullptr);

 protected:
  Texts texts() const override;
  FieldTexts fieldTexts() const override;
};
