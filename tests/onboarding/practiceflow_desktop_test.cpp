// The practice exercises over the real request flow: a hotkey, a recording,
// the service's answer over a socket, the history record or the live request
// that decides, and what the flow then shows.
#include "../pipeline/flowtest.h"
#include "onboarding/liverequestwatcher.h"
#include "onboarding/trialfillpage.h"
#include "onboardingtest.h"

namespace {

using S = OnboardingStep;
using ::testing::AllOf;

struct Exercise { S step; HotKeyCombo combo; std::optional<QString> selection; bool editable; const char* action; };

const Exercise kExercises[] = {
    {S::transcribeFill, HotKeyCombo::transcribe, std::nullopt, false, "paste"},
    {S::rewriteGenerate, HotKeyCombo::rewrite, std::nullopt, false, "paste"},
    {S::rewriteReadonly, HotKeyCombo::rewrite, QStringLiteral("lazy dog"), false, "paste"},
    {S::rewriteEditable, HotKeyCombo::rewrite, QStringLiteral("meeting"), true, "paste"},
    {S::agentSearch, HotKeyCombo::agent, std::nullopt, false, "show_markdown"},
};

class Flow : public FlowTest {
 protected:
  // What the desktop reports as selected when the exercise's hotkey is pressed.
  void selectFor(const Exercise& e) {
    accessibility.systemWideElement =
        e.selection ? FakeElement::focusing(FakeElement::text(*e.selection, AXTextRange{0, e.selection->size()},
                                                              QStringLiteral("AXTextArea"), e.editable))
                    : FakeElement::failing(AXError::noValue);
  }

  SharedStateGuard guard;
};

// One test: the program reads its service address once per process, and each fixture brings its own service.
TEST_F(Flow, EachExerciseIsPassedByItsOwnRealRequestAndNoOther) {
  {
    for (const Exercise& e : kExercises) {
      SCOPED_TRACE(rawValue(e.step));
      HistoryStore::shared().clearRecords();
      auto view = openOnboarding(e.step);
      EXPECT_FALSE(mayGoOn(*view));
      EXPECT_THAT(*view, AllOf(Shows(currentStrings().onboardingTryFirst), Shows(currentStrings().onboardingStepWaiting)));
      click(view->nextButton());
      EXPECT_EQ(view->currentStep(), e.step) << "Next waits for the exercise";

      // A failed request of the right kind, then a successful one of another kind: nothing.
      selectFor(e);
      answerError(500, R"({"code":"INTERNAL","message":"down"})");
      request(e.combo);
      answer(success(QStringLiteral("show_markdown"), QStringLiteral("elsewhere")));
      request(e.combo == HotKeyCombo::agent ? HotKeyCombo::transcribe : HotKeyCombo::agent);
      EXPECT_FALSE(mayGoOn(*view));

      answer(success(QString::fromLatin1(e.action), QStringLiteral("the answer")));
      request(e.combo);
      ASSERT_TRUE(waitUntil([&] { return mayGoOn(*view); }));
      EXPECT_THAT(*view, Shows(currentStrings().onboardingStepDone));
      if (auto* fill = qobject_cast<TrialFillPage*>(view->currentPage())) { EXPECT_EQ(fill->fieldText(), QStringLiteral("the answer")); }
      EXPECT_EQ(view->currentStep(), e.step) << "nothing moves on by itself";
      click(view->nextButton());
      EXPECT_EQ(rawValue(view->currentStep()), rawValue(e.step) + 1);
      click(view->backButton());
      EXPECT_TRUE(mayGoOn(*view)) << "back again, the step is still passed";
    }
  }
  {  // without a history the live request decides
    HistoryStore::shared().setRetentionPolicy(RetentionPolicy::never);
    LiveRequestWatcher watcher(*recorder, *handler, RecordingResultStore::shared());
    QList<RecordingHistory> reported;
    QObject::connect(&watcher, &LiveRequestWatcher::requestFinished,
                     [&](const RecordingHistory& request) { reported << request; });
    for (const Exercise& e : kExercises) {
      SCOPED_TRACE(rawValue(e.step));
      selectFor(e);
      reported.clear();
      answer(success(QString::fromLatin1(e.action), QStringLiteral("the answer")));
      request(e.combo);
      ASSERT_EQ(reported.size(), 1);
      EXPECT_EQ(reported[0].selectedText, e.selection);
      EXPECT_EQ(reported[0].status, RecognitionStatus::success);
      auto view = openOnboarding(e.step);
      view->trackLiveRequest(reported[0]);
      EXPECT_TRUE(mayGoOn(*view));
    }
    EXPECT_TRUE(HistoryStore::shared().records().isEmpty());

    // A failed request is reported failed; a result no recording led to (a retry from the history,
    // a sign-out) is no request.
    reported.clear();
    answerError(500, R"({"code":"INTERNAL","message":"down"})");
    request(HotKeyCombo::agent);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(reported[0].status, RecognitionStatus::failed);
    RecordingResultStore::shared().update(QStringLiteral("heard"), QStringLiteral("said"), std::nullopt);
    RecordingResultStore::shared().reset();
    EXPECT_EQ(reported.size(), 1);

    // While the history keeps records, they decide and the live report does not.
    HistoryStore::shared().setRetentionPolicy(RetentionPolicy::sevenDays);
    auto view = openOnboarding(S::agentSearch);
    view->trackLiveRequest(reported[0]);
    RecordingHistory success = reported[0];
    success.status = RecognitionStatus::success;
    view->trackLiveRequest(success);
    EXPECT_FALSE(mayGoOn(*view));
  }
  {  // the newest published record decides
    auto view = openOnboarding(S::agentSearch);
    RecordingHistory live;
    live.id = QStringLiteral("R-1"), live.operation = QStringLiteral("agent");
    live.status = RecognitionStatus::processing, live.createdAt = QDateTime::currentDateTimeUtc();
    HistoryStore::shared().addRecord(live);
    RecordingHistory older = live;
    older.status = RecognitionStatus::success;
    view->trackTrialResult({live, older});
    EXPECT_FALSE(mayGoOn(*view));
    HistoryStore::shared().updateRecord(live.id, [](RecordingHistory& r) { r.status = RecognitionStatus::success; });
    EXPECT_TRUE(mayGoOn(*view));
  }
  {  // a request made before the exercise is reached does not pass it
    auto view = openOnboarding(S::permissions);
    answer(success(QStringLiteral("paste"), QStringLiteral("x")));
    request(HotKeyCombo::transcribe);
    click(view->nextButton());
    ASSERT_EQ(view->currentStep(), S::transcribeFill);
    EXPECT_FALSE(mayGoOn(*view));
  }
}

}  // namespace
