#pragma once

#include <QList>
#include <QString>

#include <optional>

// The eight steps of the onboarding flow, in the order the user goes through
// them. The raw value is the step's place in that order; the set of passed
// practice steps holds raw values.
enum class OnboardingStep {
  welcome = 0,
  permissions = 1,
  transcribeFill = 2,
  rewriteGenerate = 3,
  rewriteReadonly = 4,
  rewriteEditable = 5,
  agentSearch = 6,
  complete = 7,
};

// Every step, in order.
const QList<OnboardingStep>& allOnboardingSteps();

int rawValue(OnboardingStep step);
// The step of a raw value; nothing outside 0...7, which is what stops the
// flow at both ends.
std::optional<OnboardingStep> onboardingStepFromRawValue(int raw);

// What the step indicator shows for the step: "1" to "7", and "✓" for the
// completion page.
QString indicatorLabel(OnboardingStep step);

// The five exercises that the user passes by making a real request.
bool isPracticeStep(OnboardingStep step);
