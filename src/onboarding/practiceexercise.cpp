#include "onboarding/practiceexercise.h"

#include "pipeline/recordinghistory.h"

bool requestPassesStep(OnboardingStep step, const RecordingHistory& request) {
  if (request.status != RecognitionStatus::success) return false;
  const bool hasSelection = request.selectedText && !request.selectedText->isEmpty();
  const bool isRewrite = request.operation == QLatin1String("rewrite");
  switch (step) {
    case OnboardingStep::transcribeFill:
      return request.operation == QLatin1String("transcribe");
    case OnboardingStep::rewriteGenerate:
      return isRewrite && !hasSelection;
    case OnboardingStep::rewriteReadonly:
      return isRewrite && hasSelection;
    case OnboardingStep::rewriteEditable:
      return isRewrite && hasSelection && request.actionType == QLatin1String("paste");
    case OnboardingStep::agentSearch:
      return request.operation == QLatin1String("agent");
    case OnboardingStep::welcome:
    case OnboardingStep::permissions:
    case OnboardingStep::complete:
      return false;
  }
  return false;
}
