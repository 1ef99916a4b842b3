#include "awaittask.h"
#include "openclawtest.h"
#include "fakegateway.h"
#include "openclaw/gatewayerror.h"
#include "openclaw/openclawgatewayclient.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

QByteArray delta(const char* content) {
  return QByteArray("data: {\"choices\":[{\"delta\":{\"content\":\"") + content + "\"}}]}\n";
}

class GatewayClientTest : public ::testing::Test {
 protected:
  void SetUp() override { client.setBaseURL(gateway.url()); }
  QCoro::Task<void> stream(const QString& message = QStringLiteral("hello"), QObject* owner = nullptr,
                           const QString& secret = QStringLiteral("tok-1")) {
    return client.streamChat(message, secret, owner ? owner : &receiver,
                             [this](const GatewayAgentEvent& event) { events.append(event); });
  }

  FakeGateway gateway;
  OpenClawGatewayClient& client = OpenClawGatewayClient::shared();
  QObject receiver;
  QList<GatewayAgentEvent> events;
};

}  // namespace

TEST_F(GatewayClientTest, PostsOneUserMessageWithTheSessionHeaders) {
  gateway.answerChat({200, {"data: [DONE]\n"}});
  awaitTask(stream(QStringLiteral("what is \"up\"?")));
  ASSERT_EQ(gateway.requests().size(), 1u);
  const FakeGateway::Request request = gateway.requests()[0];
  EXPECT_EQ(request.path, "/v1/chat/completions");
  EXPECT_EQ(request.header("Authorization"), "Bearer tok-1");
  EXPECT_EQ(request.header("x-openclaw-agent-id"), "main");
  EXPECT_EQ(request.header("x-openclaw-session-key"), "voiceinput:main");
  EXPECT_EQ(QJsonDocument::fromJson(QByteArray::fromStdString(request.body)).object(),
            QJsonDocument::fromJson(R"({"model":"openclaw","stream":true,
      "messages":[{"role":"user","content":"what is \"up\"?"}]})").object());
}

TEST_F(GatewayClientTest, OnlyNonEmptyDeltaContentBuildsTheAnswerWithOrWithoutDone) {
  const struct {
    QList<QByteArray> chunks;
    QList<GatewayAgentEvent> expected;
  } cases[] = {
      {{"data:{\"choices\":[{\"delta\":{\"content\":\"no space\"}}]}\n", delta("Hel"), ": keep-alive\n", "event: message\n",
        "data: not json\n", "data: [1,2]\n", "data: {\"choices\":{}}\n", delta(""),
        "data: {\"choices\":[{\"delta\":{\"content\":7}}]}\n", "data: {\"choices\":[{\"message\":{\"content\":\"x\"}}]}\n",
        "\r\n", "data: {\"choices\":[{\"delta\":{\"content\":\"lo \\u4f60\"}}]}\r\n", "data: [DONE]\n", delta("after")},
       {GatewayAgentEvent::piece(QStringLiteral("Hel"), QStringLiteral("Hel")),
        GatewayAgentEvent::piece(QStringLiteral("lo 你"), QStringLiteral("Hello 你")),
        GatewayAgentEvent::done(QStringLiteral("Hello 你"))}},
      // No [DONE], and the last line needs no line end.
      {{delta("a"), "data: {\"choices\":[{\"delta\":{\"content\":\"z\"}}]}"},
       {GatewayAgentEvent::piece(QStringLiteral("a"), QStringLiteral("a")),
        GatewayAgentEvent::piece(QStringLiteral("z"), QStringLiteral("az")), GatewayAgentEvent::done(QStringLiteral("az"))}},
      {{}, {GatewayAgentEvent::done(QString())}},
  };
  for (const auto& c : cases) {
    events.clear();
    gateway.answerChat({200, c.chunks});
    awaitTask(stream());
    EXPECT_EQ(events, c.expected) << c.chunks.join().toStdString();
  }
}

TEST_F(GatewayClientTest, FailuresSayWhyAndTellNoEvent) {
  const struct {
    const char* name;
    QString secret;
    bool gatewayUp;
    GatewayError::Kind kind;
    QString description;
  } cases[] = {
      {"HTTP 401", QStringLiteral("tok"), true, GatewayError::Kind::httpError,
       QStringLiteral("HTTP 401: invalid tokensee the log")},
      {"no gateway", QStringLiteral("tok"), false, GatewayError::Kind::transport, QStringLiteral("Connection refused")},
      {"secret with a line break", QStringLiteral("tok\r\nX-Injected: 1"), true, {}, {}},
  };
  for (const auto& c : cases) {
    gateway.answerChat({401, {"invalid token\n", "see the log\n"}});
    client.setBaseURL(c.gatewayUp ? gateway.url() : closedPort());
    const size_t requestsBefore = gateway.requests().size();
    try {
      awaitTask(stream(QStringLiteral("hi"), nullptr, c.secret));
      ADD_FAILURE() << c.name << ": no failure";
    } catch (const GatewayError& error) {
      if (!c.description.isEmpty()) {
        EXPECT_EQ(error.kind(), c.kind) << c.name;
        EXPECT_EQ(error.localizedDescription(), c.description) << c.name;
      }
    }
    EXPECT_TRUE(events.isEmpty()) << c.name;
    if (c.description.isEmpty()) { EXPECT_EQ(gateway.requests().size(), requestsBefore) << "a broken secret was sent"; }
  }
}

// A model or provider failure inside a 200 stream, followed by [DONE], fails the answer after the
// pieces before it; its type stands in for an empty message, and a null error is none.
TEST_F(GatewayClientTest, AnErrorInTheStreamFailsTheAnswerWithItsMessage) {
  const std::pair<QByteArray, QString> cases[] = {
      {R"({"error":{"message":"No API key found","type":"auth_error"}})", QStringLiteral("No API key found")},
      {R"({"error":{"message":"","type":"rate_limit_exceeded"}})", QStringLiteral("rate_limit_exceeded")},
      {R"({"error":null,"choices":[{"delta":{"content":"ok"}}]})", QString()},
  };
  for (const auto& [line, message] : cases) {
    events.clear();
    gateway.answerChat({200, {delta("Hel"), "data: " + line + "\n", "data: [DONE]\n", delta("after")}});
    QString failure;
    try {
      awaitTask(stream());
    } catch (const GatewayError& error) {
      failure = error.localizedDescription();
    }
    EXPECT_EQ(failure, message) << line.toStdString();
    const GatewayAgentEvent hel = GatewayAgentEvent::piece(QStringLiteral("Hel"), QStringLiteral("Hel"));
    EXPECT_EQ(events.last(), message.isEmpty() ? GatewayAgentEvent::done(QStringLiteral("Helok")) : hel)
        << line.toStdString();
  }
}

TEST_F(GatewayClientTest, PiecesArriveAsSentEvenSplitAndStopWhenTheReceiverIsGone) {
  gateway.answerChat({200, {delta("one"), "data: {\"choices\":[{\"delta\":", "{\"content\":\"two\"}}]}\n", "data: [DONE]\n"},
                      true});
  auto task = stream();
  gateway.release();
  ASSERT_TRUE(waitUntil([&] { return events.size() == 1; }));
  gateway.release();  // half a line: nothing to tell yet
  gateway.release();
  ASSERT_TRUE(waitUntil([&] { return events.size() == 2; }));
  EXPECT_EQ(events[1], GatewayAgentEvent::piece(QStringLiteral("two"), QStringLiteral("onetwo")));
  gateway.release();
  awaitTask(std::move(task));
  EXPECT_EQ(events.constLast(), GatewayAgentEvent::done(QStringLiteral("onetwo")));

  events.clear();
  FakeGateway second;  // its releases start from zero
  client.setBaseURL(second.url());
  auto owner = std::make_unique<QObject>();
  second.answerChat({200, {delta("one"), delta("two"), "data: [DONE]\n"}, true});
  auto orphaned = stream(QStringLiteral("hi"), owner.get());
  second.release();
  ASSERT_TRUE(waitUntil([&] { return events.size() == 1; }));
  owner.reset();
  second.release();
  second.release();
  awaitTask(std::move(orphaned));
  EXPECT_EQ(events.size(), 1);
}
