// The service's commands for the local OpenClaw agent: which reach the
// gateway with a reply that completes the history record, which go to a
// terminal without one, and how the record reads until the agent replies.
#include "flowfixture.h"

#include "localization/appstrings.h"
#include "openclaw/openclawmanager.h"
#include "pipeline/recordingresultstore.h"

#include <QTest>

#include <gmock/gmock.h>

using ::testing::IsEmpty;

namespace {

class AgentActions : public FlowFixture {
 protected:
  struct Call {
    QString how;  // "relay" or "command"
    QString text;
    ActionDispatcher::AgentBridge::ReplyHandler onReply;
    ActionDispatcher::AgentBridge::FailureHandler onFailure;
  };

  void SetUp() override {
    FlowFixture::SetUp();
    handler->dispatcher().setAgentBridge(
        {[this](const QString& text, auto onReply, auto onFailure) { calls.append({"relay", text, onReply, onFailure}); },
         [this](const QString& text, auto onReply, auto onFailure) {
           calls.append({"command", text, onReply, onFailure});
         }});
  }

  static RecordingHistory newestRecord() { return HistoryStore::shared().records().value(0); }

  QList<Call> calls;
};

TEST_F(AgentActions, EachCommandReachesTheAgentAndOnlyGatewayRepliesCompleteTheRecord) {
  struct Row {
    QString action;
    QString how;
    bool withReply;
    QString resultUntilReply;
  };
  const QString processing = currentStrings().openclawProcessing;
  const std::vector<Row> rows{
      {"openclaw_slash_command", "command", true, processing},
      {"openclaw_command", "command", true, processing},
      {"openclaw_cli_command", "command", false, "openclaw status"},
      {"openclaw_interactive", "command", false, "openclaw status"},
      {"openclaw_execute", "relay", true, processing},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.action.toStdString());
    calls.clear();
    answer(success(row.action, "openclaw status"));
    request(HotKeyCombo::agent);
    ASSERT_TRUE(waitUntil([&] { return !calls.isEmpty(); }));
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls.first().how, row.how);
    EXPECT_EQ(calls.first().text, "openclaw status");
    EXPECT_EQ(bool(calls.first().onReply), row.withReply);
    EXPECT_EQ(bool(calls.first().onFailure), row.withReply);
    EXPECT_EQ(newestRecord().result, row.resultUntilReply);
    EXPECT_EQ(newestRecord().actionType, row.action);
    EXPECT_EQ(RecordingResultStore::shared().result(), row.resultUntilReply);
  }
  EXPECT_THAT(overlays.panels(), IsEmpty());
  EXPECT_EQ(pastesTyped(), 0);
}

TEST_F(AgentActions, TheGatewayGetsTheSelectionAsContextAndItsReplyBecomesTheResult) {
  accessibility.systemWideElement = FakeElement::focusing(FakeElement::text("def f(): pass", AXTextRange{0, 13}));
  answer(success("openclaw_execute", "explain this"));
  request(HotKeyCombo::agent);
  ASSERT_TRUE(waitUntil([&] { return !calls.isEmpty(); }));
  EXPECT_EQ(calls.first().text, OpenClawManager::composeWithSelection("explain this", QStringLiteral("def f(): pass")));
  const QString id = newestRecord().id;

  calls.first().onReply(QString());  // an empty reply keeps the placeholder
  EXPECT_EQ(newestRecord().result, currentStrings().openclawProcessing);
  calls.first().onReply(QStringLiteral("It does nothing."));
  const RecordingHistory record = *HistoryStore::shared().record(id);
  EXPECT_EQ(record.status, RecognitionStatus::success);
  EXPECT_EQ(record.result, QStringLiteral("It does nothing."));
  EXPECT_TRUE(record.processingDuration);

  // A reply after the flow is gone changes nothing and does not crash.
  const auto onReply = calls.first().onReply;
  handler.reset();
  onReply(QStringLiteral("too late"));
  EXPECT_EQ(HistoryStore::shared().record(id)->result, QStringLiteral("It does nothing."));
}

TEST_F(AgentActions, AnAgentThatCannotAnswerFailsTheRecordWithWhatTheUserWasShown) {
  for (const char* action : {"openclaw_execute", "openclaw_slash_command"}) {
    SCOPED_TRACE(action);
    calls.clear();
    answer(success(action, "/status"));
    request(HotKeyCombo::agent);
    ASSERT_TRUE(waitUntil([&] { return !calls.isEmpty(); }));
    const QString id = newestRecord().id;
    ASSERT_TRUE(calls.first().onFailure);
    calls.first().onFailure(QStringLiteral("no gateway"));
    const RecordingHistory record = *HistoryStore::shared().record(id);
    EXPECT_EQ(record.status, RecognitionStatus::failed);
    EXPECT_EQ(record.errorMessage, QStringLiteral("no gateway"));
    EXPECT_TRUE(record.retryable);
    EXPECT_TRUE(record.processingDuration);
  }
}

}  // namespace
