#include "awaittask.h"
#include "openclawtest.h"
#include "core/clock.h"
#include "fakegateway.h"
#include "openclaw/openclawmanager.h"
#include "openclawhome.h"
#include "panelrecorder.h"

#include <gtest/gtest.h>

namespace {

using Shown = PanelRecorder::Shown;
const QString kConnecting = QStringLiteral("⏳ 正在连接 OpenClaw…");
const QString kFailed = QStringLiteral("❌ Gateway 请求失败：");
const QString kHint = QStringLiteral("\n请确认 gateway 已启动。");
const QString kNoCredential = QStringLiteral("❌ 无法读取 Gateway 认证凭证，请确认 OpenClaw 已正确安装并启动。");

QByteArray delta(const char* content) {
  return QByteArray("data: {\"choices\":[{\"delta\":{\"content\":\"") + content + "\"}}]}\n";
}
Shown pinned(const QString& text) { return {text, true, true}; }
Shown unpinned(const QString& text) { return {text, true, false}; }

class GatewayRelayTest : public OpenClawTest {
 protected:
  void SetUp() override {
    OpenClawTest::SetUp();
    manager.setGatewayURLForTesting(gateway.url());
    OpenClawHome::writeConfig(R"({"gateway":{"auth":{"mode":"token","token":"tok-9"}}})");
  }
  void relay() {
    manager.relayToGateway(QStringLiteral("/status"), [this](const QString& reply) { replies.append(reply); },
                           [this](const QString& message) { failures.append(message); });
  }

  FakeGateway gateway;
  PanelRecorder panel;
  QStringList replies, failures;
};

}  // namespace

TEST_F(GatewayRelayTest, TheAnswerGrowsPinnedAndEndsUnpinnedWithTheReply) {
  gateway.answerChat({200, {delta("Ste"), delta("p "), delta("one"), "data: [DONE]\n"}, true});
  relay();
  ASSERT_EQ(panel.shown, QList<Shown>{pinned(kConnecting)}) << "up before the call returns";
  for (int piece = 1; piece <= 4; ++piece) {
    gateway.release();
    ASSERT_TRUE(waitUntil([&] { return panel.shown.size() == piece + 1; }));
  }
  EXPECT_EQ(panel.shown, (QList<Shown>{pinned(kConnecting), pinned(QStringLiteral("Ste")), pinned(QStringLiteral("Step ")),
                                       pinned(QStringLiteral("Step one")), unpinned(QStringLiteral("Step one"))}));
  EXPECT_EQ(replies, QStringList{QStringLiteral("Step one")});
  EXPECT_TRUE(failures.isEmpty());
  EXPECT_EQ(gateway.requests().at(0).header("Authorization"), "Bearer tok-9");
}

// Every ending but an answer shows why, unpinned; the one who asked learns it without the panel's hint.
TEST_F(GatewayRelayTest, EachEndingShowsItsTextAndRepliesOnlyWithAnAnswer) {
  const struct {
    const char* name;
    FakeGateway::Chat chat;
    bool gatewayUp, credential;
    QString shown;
    std::optional<QString> reply, failure;
  } cases[] = {
      {"empty answer", {200, {"data: [DONE]\n"}}, true, true, QStringLiteral("（OpenClaw 未返回内容）"), QString(), {}},
      {"HTTP 401", {401, {"bad token\n", "try again\n"}}, true, true, kFailed + "HTTP 401: bad tokentry again" + kHint, {},
       kFailed + "HTTP 401: bad tokentry again"},
      {"no gateway", {}, false, true, kFailed + "Connection refused" + kHint, {}, kFailed + "Connection refused"},
      {"model failure in the stream",
       {200, {R"(data: {"error":{"message":"model overloaded","type":"provider_error"}})" "\n", "data: [DONE]\n"}}, true,
       true, kFailed + "model overloaded" + kHint, {}, kFailed + "model overloaded"},
      {"no credential", {}, true, false, kNoCredential, {}, kNoCredential},
  };
  for (const auto& c : cases) {
    panel.shown.clear();
    replies.clear();
    failures.clear();
    const size_t requestsBefore = gateway.requests().size();
    gateway.answerChat(c.chat);
    manager.setGatewayURLForTesting(c.gatewayUp ? gateway.url() : closedPort());
    if (!c.credential) QFile::remove(OpenClawHome::path(QStringLiteral(".openclaw/openclaw.json")));
    relay();
    ASSERT_TRUE(waitUntil([&] { return panel.settled(); })) << c.name;
    EXPECT_EQ(panel.shown, (QList<Shown>{pinned(kConnecting), unpinned(c.shown)})) << c.name;
    EXPECT_EQ(replies, c.reply ? QStringList{*c.reply} : QStringList()) << c.name;
    EXPECT_EQ(failures, c.failure ? QStringList{*c.failure} : QStringList()) << c.name;
    if (!c.credential) { EXPECT_EQ(gateway.requests().size(), requestsBefore) << "asked without a credential"; }
  }
}

TEST_F(GatewayRelayTest, AnAnswerThatStallsEndsOnTheFailureNotOnAPinnedPiece) {
  Clock::setTimeScaleForTesting(0.002);  // the 120-second silence takes 240 ms
  gateway.answerChat({200, {delta("partial"), delta("never sent")}, true});
  relay();
  gateway.release();
  ASSERT_TRUE(waitUntil([&] { return panel.settled(); }));
  EXPECT_EQ(panel.shown, (QList<Shown>{pinned(kConnecting), pinned(QStringLiteral("partial")),
                                       unpinned(kFailed + QStringLiteral("The request timed out.") + kHint)}));
  EXPECT_TRUE(replies.isEmpty());
}
