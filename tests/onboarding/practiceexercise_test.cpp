#include "onboarding/practiceexercise.h"

#include "pipeline/recordinghistory.h"

#include <gtest/gtest.h>

namespace {

RecordingHistory request(const char* operation, std::optional<QString> selected, std::optional<QString> action,
                         RecognitionStatus status = RecognitionStatus::success) {
  RecordingHistory record;
  record.id = QStringLiteral("R");
  record.operation = QString::fromLatin1(operation);
  record.selectedText = std::move(selected);
  record.actionType = std::move(action);
  record.status = status;
  return record;
}

const std::optional<QString> none;
const QString sel = QStringLiteral("selected words");
const QString paste = QStringLiteral("paste");

TEST(PracticeExercise, EachStepPassesOnlyTheRequestThatFitsIt) {
  using S = OnboardingStep;
  const struct {
    const char* name;
    RecordingHistory request;
    QList<OnboardingStep> passes;
  } cases[] = {
      {"dictation", request("transcribe", none, paste), {S::transcribeFill}},
      {"dictation over a selection", request("transcribe", sel, paste), {S::transcribeFill}},
      {"rewrite, nothing selected", request("rewrite", none, paste), {S::rewriteGenerate}},
      {"rewrite, empty selection", request("rewrite", QString(), paste), {S::rewriteGenerate}},
      {"rewrite of a selection, pasted", request("rewrite", sel, paste), {S::rewriteReadonly, S::rewriteEditable}},
      {"rewrite of a selection, no action", request("rewrite", sel, none), {S::rewriteReadonly}},
      {"rewrite of a selection, shown as markdown", request("rewrite", sel, QStringLiteral("show_markdown")),
       {S::rewriteReadonly}},
      {"agent search", request("agent", none, QStringLiteral("show_markdown")), {S::agentSearch}},
      {"agent over a selection", request("agent", sel, paste), {S::agentSearch}},
      {"unknown operation", request("translate", sel, paste), {}},
      {"failed dictation", request("transcribe", none, paste, RecognitionStatus::failed), {}},
      {"processing rewrite", request("rewrite", sel, paste, RecognitionStatus::processing), {}},
      {"pending agent", request("agent", none, none, RecognitionStatus::pending), {}},
  };
  for (const auto& c : cases) {
    for (OnboardingStep step : allOnboardingSteps()) {
      EXPECT_EQ(requestPassesStep(step, c.request), c.passes.contains(step))
          << c.name << " at step " << rawValue(step);
    }
  }
}

TEST(OnboardingSteps, EightStepsInOrderStoppingAtBothEnds) {
  QStringList labels;
  for (OnboardingStep step : allOnboardingSteps()) labels << indicatorLabel(step);
  EXPECT_EQ(labels, (QStringList{"1", "2", "3", "4", "5", "6", "7", "✓"}));
  EXPECT_EQ(onboardingStepFromRawValue(-1), std::nullopt);
  EXPECT_EQ(onboardingStepFromRawValue(8), std::nullopt);
  EXPECT_EQ(onboardingStepFromRawValue(5), OnboardingStep::rewriteEditable);
}

}  // namespace
