#pragma once

#include "onboarding/trialfillpage.h"

// The dictation exercise: the user clicks into the page's field and dictates
// with the transcribe hotkey; the transcript lands in the field and is
// repeated in green under it.
class TrialTranscribeView : public TrialFillPage {
  Q_OBJECT

 public:
  TrialTranscribeView(bool isDone, RecordingResultStore& result, QWidget* parent = nullptr);

 protected:
  Texts texts() const override;
  FieldTexts fieldTexts() const override;
};
