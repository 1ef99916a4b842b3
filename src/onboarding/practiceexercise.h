#pragma once

#include "onboarding/onboardingstep.h"

struct RecordingHistory;

// Whether a finished request passes the exercise of `step`, judged by what
// started it (the operation), what was selected then and what the service
// asked for (the action type). Only a successful request passes, and only a
// practice step can be passed:
//   transcribeFill   any dictation
//   rewriteGenerate  a rewrite with nothing selected
//   rewriteReadonly  a rewrite of a selection
//   rewriteEditable  a rewrite of a selection that the service pasted
//   agentSearch      any agent request
bool requestPassesStep(OnboardingStep step, const RecordingHistory& request);
