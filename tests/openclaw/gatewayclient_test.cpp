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
  return QByteArray("data: {\"id\":\"c1\",\"choices\":[{\"index\":0,\"delta\":{\"content\":\"") + content + "\"}}]}\n";
}

class GatewayClientTest : public ::testing::Test {
 protected:
  void SetUp() override { client.setBaseURL(gateway.url()); }

  QCoro::Task<void> stream(const QString& message = QStringLiteral("hello")) {
    return client.streamChat(message, QStringLiteral("tok-1"), &receiver,
                             [this](const GatewayAgentEvent& event) { events.append(event); });
  }

  // The failure of a stream that must fail.
  std::optional<GatewayError> failureOf(QCoro::Task<void> task) {
    try {
      awaitTask(std::move(task));
    } catch (const GatewayError& error) {
      return error;
    }
    return std::nullopt;
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
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.path, "/v1/chat/completions");
  EXPECT_EQ(request.header("Authorization"), "Bearer tok-1");
  EXPECT_EQ(request.header("Content-Type"), "application/json");
  EXPECT_EQ(request.header("x-openclaw-agent-id"), "main");
  EXPECT_EQ(request.header("x-openclaw-session-key"), "voiceinput:main");
  const QJsonObject body = QJsonDocument::fromJson(QByteArray::fromStdString(request.body)).object();
  EXPECT_EQ(body, QJsonDocument::fromJson(R"({"model":"openclaw","stream":true,
      "messages":[{"role":"user","content":"what is \"up\"?"}]})").object());
}

TEST_F(GatewayClientTest, OnlyNonEmptyDeltaContentBuildsTheAnswer) {
  gateway.answerChat({200,
                      {"data:{\"choices\":[{\"delta\":{\"content\":\"no space\"}}]}\n",
                       ": keep-alive comment\n",
                       "event: message\n",
                       "data: not json\n",
                       "data: [1,2]\n",
                       "data: {\"choices\":[]}\n",
                       "data: {\"choices\":{}}\n",
                       "data: {\"choices\":[{\"delta\":{\"content\":\"\"}}]}\n",
                       "data: {\"choices\":[{\"delta\":{\"content\":7}}]}\n",
                       "data: {\"choices\":[{\"message\":{\"content\":\"x\"}}]}\n",
                       "data: {\"choices\":[{\"delta\":{\"content\":\"Hel\"}}, 3]}\n",
                       delta("Hel"),
                       "\r\n",
                       "data: {\"choices\":[{\"delta\":{\"content\":\"lo \\u4f60\"}}]}\r\n",
                       "data: [DONE]\n",
                       delta("after the end")}});
  awaitTask(stream());
  const QList<GatewayAgentEvent> expected{
      GatewayAgentEvent::piece(QStringLiteral("Hel"), QStringLiteral("Hel")),
      GatewayAgentEvent::piece(QStringLiteral("lo 你"), QStringLiteral("Hello 你")),
      GatewayAgentEvent::done(QStringLiteral("Hello 你")),
  };
  EXPECT_EQ(events, expected);
}

TEST_F(GatewayClientTest, AStreamEndingWithoutDoneStillCompletes) {
  const struct {
    QList<QByteArray> chunks;
    QString whole;
  } cases[] = {
      {{delta("a"), delta("b")}, QStringLiteral("ab")},
      // The last line needs no line end.
      {{delta("a"), "data: {\"choices\":[{\"delta\":{\"content\":\"z\"}}]}"}, QStringLiteral("az")},
      {{"data: nothing useful\n"}, QString()},
      {{}, QString()},
  };
  for (const auto& c : cases) {
    events.clear();
    gateway.answerChat({200, c.chunks});
    awaitTask(stream());
    ASSERT_FALSE(events.isEmpty());
    EXPECT_EQ(events.constLast(), GatewayAgentEvent::done(c.whole));
    EXPECT_EQ(events.count(GatewayAgentEvent::done(c.whole)), 1);
  }
}

TEST_F(GatewayClientTest, AStatusOtherThan200FailsWithTheBodysLinesJoined) {
  gateway.answerChat({401, {"invalid token\n", "see the gateway log\n"}});
  const std::optional<GatewayError> error = failureOf(stream());
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind(), GatewayError::Kind::httpError);
  EXPECT_EQ(error->statusCode(), 401);
  EXPECT_EQ(error->localizedDescription(), QStringLiteral("HTTP 401: invalid tokensee the gateway log"));
  EXPECT_TRUE(events.isEmpty());
}

TEST_F(GatewayClientTest, NoGatewayIsATransportFailure) {
  client.setBaseURL(closedPort());
  const std::optional<GatewayError> error = failureOf(stream());
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind(), GatewayError::Kind::transport);
  EXPECT_EQ(error->localizedDescription(), QStringLiteral("Connection refused"));
  EXPECT_TRUE(events.isEmpty());
}

TEST_F(GatewayClientTest, PiecesArriveAsTheyAreSentEvenWhenALineIsSplit) {
  gateway.answerChat({200, {delta("one"), "data: {\"choices\":[{\"delta\":", "{\"content\":\"two\"}}]}\n", "data: [DONE]\n"},
                      true});
  auto task = stream();
  gateway.release();
  ASSERT_TRUE(waitUntil([&] { return events.size() == 1; }));
  EXPECT_EQ(events[0], GatewayAgentEvent::piece(QStringLiteral("one"), QStringLiteral("one")));
  gateway.release();  // half a line: nothing to tell yet
  gateway.release();
  ASSERT_TRUE(waitUntil([&] { return events.size() == 2; }));
  EXPECT_EQ(events[1], GatewayAgentEvent::piece(QStringLiteral("two"), QStringLiteral("onetwo")));
  gateway.release();
  awaitTask(std::move(task));
  EXPECT_EQ(events.constLast(), GatewayAgentEvent::done(QStringLiteral("onetwo")));
}

TEST_F(GatewayClientTest, EventsForAReceiverThatIsGoneAreDropped) {
  auto owner = std::make_unique<QObject>();
  gateway.answerChat({200, {delta("one"), delta("two"), "data: [DONE]\n"}, true});
  auto task = client.streamChat(QStringLiteral("hi"), QStringLiteral("tok"), owner.get(),
                                [this](const GatewayAgentEvent& event) { events.append(event); });
  gateway.release();
  ASSERT_TRUE(waitUntil([&] { return events.size() == 1; }));
  owner.reset();
  gateway.release();
  gateway.release();
  awaitTask(std::move(task));
  EXPECT_EQ(events.size(), 1);
}

TEST_F(GatewayClientTest, ASecretWithALineBreakIsNeverSent) {
  gateway.answerChat({200, {"data: [DONE]\n"}});
  auto task = client.streamChat(QStringLiteral("hi"), QStringLiteral("tok\r\nX-Injected: 1"), &receiver, {});
  const std::optional<GatewayError> error = failureOf(std::move(task));
  ASSERT_TRUE(error);
  EXPECT_TRUE(gateway.requests().empty());
}
