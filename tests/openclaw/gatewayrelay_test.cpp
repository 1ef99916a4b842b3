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

  OpenClawManager::ReplyHandler recordReply() {
    return [this](const QString& reply) { replies.append(reply); };
  }

  OpenClawManager::FailureHandler recordFailure() {
    return [this](const QString& message) { failures.append(message); };
  }

  FakeGateway gateway;
  PanelRecorder panel;
  QStringList replies;
  QStringList failures;
};

}  // namespace

TEST_F(GatewayRelayTest, TheAnswerGrowsPinnedAndEndsUnpinnedWithTheReply) {
  gateway.answerChat({200, {delta("Ste"), delta("p "), delta("one"), "data: [DONE]\n"}, true});
  manager.relayToGateway(QStringLiteral("/status"), recordReply(), recordFailure());
  // The connecting text is up before the call returns.
  ASSERT_EQ(panel.shown, QList<Shown>{pinned(kConnecting)});
  for (int piece = 1; piece <= 3; ++piece) {
    gateway.release();
    ASSERT_TRUE(waitUntil([&] { return panel.shown.size() == piece + 1; }));
  }
  gateway.release();
  ASSERT_TRUE(waitUntil([&] { return panel.settled(); }));
  EXPECT_EQ(panel.shown, (QList<Shown>{pinned(kConnecting), pinned(QStringLiteral("Ste")), pinned(QStringLiteral("Step ")),
                                       pinned(QStringLiteral("Step one")), unpinned(QStringLiteral("Step one"))}));
  EXPECT_EQ(replies, QStringList{QStringLiteral("Step one")});
  EXPECT_TRUE(failures.isEmpty());
  EXPECT_EQ(gateway.requests().at(0).header("Authorization"), "Bearer tok-9");
}

TEST_F(GatewayRelayTest, AnEmptyAnswerShowsANoteButRepliesWithTheEmptyText) {
  gateway.answerChat({200, {"data: [DONE]\n"}});
  manager.relayToGateway(QStringLiteral("/new"), recordReply());
  ASSERT_TRUE(waitUntil([&] { return panel.settled(); }));
  EXPECT_EQ(panel.shown, (QList<Shown>{pinned(kConnecting), unpinned(QStringLiteral("（OpenClaw 未返回内容）"))}));
  EXPECT_EQ(replies, QStringList{QString()});
}

TEST_F(GatewayRelayTest, FailuresShowWhyAndNeverReply) {
  const auto failure = [](const QString& description) {
    return unpinned(QStringLiteral("❌ Gateway 请求失败：") + description + QStringLiteral("\n请确认 gateway 已启动。"));
  };

  gateway.answerChat({401, {"bad token\n", "try again\n"}});
  manager.relayToGateway(QStringLiteral("stop"), recordReply(), recordFailure());
  ASSERT_TRUE(waitUntil([&] { return panel.settled(); }));
  EXPECT_EQ(panel.shown.constLast(), failure(QStringLiteral("HTTP 401: bad tokentry again")));

  panel.shown.clear();
  manager.setGatewayURLForTesting(closedPort());
  manager.relayToGateway(QStringLiteral("stop"), recordReply(), recordFailure());
  ASSERT_TRUE(waitUntil([&] { return panel.settled(); }));
  EXPECT_EQ(panel.shown, (QList<Shown>{pinned(kConnecting), failure(QStringLiteral("Connection refused"))}));
  EXPECT_TRUE(replies.isEmpty());
  // The one who asked learns it too, without the hint meant for the panel.
  EXPECT_EQ(failures, (QStringList{QStringLiteral("❌ Gateway 请求失败：HTTP 401: bad tokentry again"),
                                   QStringLiteral("❌ Gateway 请求失败：Connection refused")}));
}

TEST_F(GatewayRelayTest, WithoutACredentialTheGatewayIsNotAsked) {
  QFile::remove(OpenClawHome::path(QStringLiteral(".openclaw/openclaw.json")));
  manager.relayToGateway(QStringLiteral("/status"), recordReply(), recordFailure());
  ASSERT_TRUE(waitUntil([&] { return panel.settled(); }));
  const QString noCredential = QStringLiteral("❌ 无法读取 Gateway 认证凭证，请确认 OpenClaw 已正确安装并启动。");
  EXPECT_EQ(panel.shown, (QList<Shown>{pinned(kConnecting), unpinned(noCredential)}));
  EXPECT_TRUE(gateway.requests().empty());
  EXPECT_TRUE(replies.isEmpty());
  EXPECT_EQ(failures, QStringList{noCredential});
}

TEST_F(GatewayRelayTest, AnAnswerThatStallsEndsOnTheFailureNotOnAPinnedPiece) {
  Clock::setTimeScaleForTesting(0.002);  // the 120-second silence takes 240 ms
  gateway.answerChat({200, {delta("partial"), delta("never sent")}, true});
  manager.relayToGateway(QStringLiteral("/status"), recordReply());
  gateway.release();
  ASSERT_TRUE(waitUntil([&] { return panel.settled(); }));
  EXPECT_EQ(panel.shown, (QList<Shown>{pinned(kConnecting), pinned(QStringLiteral("partial")),
                                       unpinned(QStringLiteral("❌ Gateway 请求失败：The request timed out.\n请确认 gateway 已启动。"))}));
  EXPECT_TRUE(replies.isEmpty());
}
