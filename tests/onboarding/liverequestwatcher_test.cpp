// The practice exercises must be passable when the history keeps nothing:
// the watcher reports each live request from the flow itself.
#include "onboarding/liverequestwatcher.h"

#include "../pipeline/flowtest.h"
#include "pipeline/recordingresultstore.h"

namespace {

class LiveRequests : public FlowTest {
 protected:
  void SetUp() override {
    FlowTest::SetUp();
    HistoryStore::shared().setRetentionPolicy(RetentionPolicy::never);
    watcher = std::make_unique<LiveRequestWatcher>(*recorder, *handler, RecordingResultStore::shared());
    QObject::connect(watcher.get(), &LiveRequestWatcher::requestFinished,
                     [this](const RecordingHistory& request) { reported << request; });
  }

  void TearDown() override {
    watcher.reset();
    FlowTest::TearDown();
  }

  void select(const QString& text, bool editable) {
    accessibility.systemWideElement =
        FakeElement::focusing(FakeElement::text(text, AXTextRange{0, text.size()}, QStringLiteral("AXTextArea"), editable));
  }

  std::unique_ptr<LiveRequestWatcher> watcher;
  QList<RecordingHistory> reported;
};

TEST_F(LiveRequests, EachRequestIsReportedWithWhatItWasStartedWith) {
  const struct {
    const char* name;
    HotKeyCombo combo;
    std::optional<QString> selection;
    bool editable;
    const char* action;
    std::optional<QString> reportedAction;
  } cases[] = {
      {"dictation", HotKeyCombo::transcribe, std::nullopt, false, "paste", std::nullopt},
      {"generation", HotKeyCombo::rewrite, std::nullopt, false, "paste", std::nullopt},
      {"rewrite of read-only text", HotKeyCombo::rewrite, QStringLiteral("lazy dog"), false, "paste", std::nullopt},
      {"rewrite in a field", HotKeyCombo::rewrite, QStringLiteral("meeting"), true, "paste", QStringLiteral("paste")},
      {"agent search", HotKeyCombo::agent, std::nullopt, false, "show_markdown", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.selection) {
      select(*c.selection, c.editable);
    } else {
      accessibility.systemWideElement = FakeElement::failing(AXError::noValue);
    }
    reported.clear();
    answer(success(QString::fromLatin1(c.action), QStringLiteral("the answer")));
    request(c.combo);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(reported[0].operation, rawValue(c.combo));
    EXPECT_EQ(reported[0].selectedText, c.selection);
    EXPECT_EQ(reported[0].status, RecognitionStatus::success);
    EXPECT_EQ(reported[0].actionType, c.reportedAction);
  }
  EXPECT_TRUE(HistoryStore::shared().records().isEmpty());
}

TEST_F(LiveRequests, AFailedRequestIsReportedAsFailed) {
  answerError(500, R"({"code":"INTERNAL","message":"down"})");
  request(HotKeyCombo::agent);
  ASSERT_EQ(reported.size(), 1);
  EXPECT_EQ(reported[0].status, RecognitionStatus::failed);
}

TEST_F(LiveRequests, AResultWithoutALiveRequestIsNotReported) {
  // A retry from the history, a sign-out: results that no recording led to.
  RecordingResultStore::shared().update(QStringLiteral("heard"), QStringLiteral("said"), std::nullopt);
  RecordingResultStore::shared().reset();
  EXPECT_TRUE(reported.isEmpty());
}

}  // namespace
