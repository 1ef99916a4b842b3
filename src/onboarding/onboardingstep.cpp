#include "onboarding/onboardingstep.h"

const QList<OnboardingStep>& allOnboardingSteps() {
  static const QList<OnboardingStep> steps{
      OnboardingStep::welcome,         OnboardingStep::permissions,     OnboardingStep::transcribeFill,
      OnboardingStep::rewriteGenerate, OnboardingStep::rewriteReadonly, OnboardingStep::rewriteEditable,
      OnboardingStep::agentSearch,     OnboardingStep::complete,
  };
  return steps;
}

int rawValue(OnboardingStep step) { return static_cast<int>(step); }

std::optional<OnboardingStep> onboardingStepFromRawValue(int raw) {
  if (raw < rawValue(OnboardingStep::welcome) || raw > rawValue(OnboardingStep::complete)) return std::nullopt;
  return static_cast<OnboardingStep>(raw);
}

QString indicatorLabel(OnboardingStep step) {
  if (step == OnboardingStep::complete) return QStringLiteral("✓");
  return QString::number(rawValue(step) + 1);
}

bool isPracticeStep(OnboardingStep step) {
  return step != OnboardingStep::welcome && step != OnboardingStep::permissions && step != OnboardingStep::complete;
}
