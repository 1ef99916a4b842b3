#include "awaittask.h"
#include "faketerminaldriver.h"
#include "openclaw/openclawmanager.h"
#include "openclawtest.h"
#include "panelrecorder.h"

#include <gtest/gtest.h>

namespace {

class VoiceRoutingTest : public OpenClawTest {
 protected:
  // Routes `text` and waits until its terminal work, if any, is done.
  void route(const QString& text, OpenClawManager::ReplyHandler onReply = {}) {
    manager.handleVoiceCommand(text, std::move(onReply));
    ASSERT_TRUE(waitUntil([&] { return manager.isTerminalIdle(); }));
  }

  bool relayed() const { return !panel.shown.isEmpty(); }

  FakeTerminalDriver terminal;
  PanelRecorder panel;
};

}  // namespace

TEST_F(VoiceRoutingTest, EachTextGoesToTheGatewayAFreshWindowOrTheRememberedOne) {
  enum Route { nothing, gateway, freshWindow, rememberedWindow };
  const struct {
    const char* text;
    Route route;
    const char* sent;  // what the gateway or the terminal receives
  } cases[] = {
      {"Stop", gateway, "Stop"},
      {"  stop \n", gateway, "stop"},
      {"/status", gateway, "/status"},
      {"\t/new session\n", gateway, "/new session"},
      {"stop now", rememberedWindow, "stop now"},
      {"openclaw models set gpt-5", freshWindow, "openclaw models set gpt-5"},
      {"openclaw models set", rememberedWindow, "openclaw models set"},
      {" openclaw onboard ", freshWindow, "openclaw onboard"},
      {"openclaw agent --message \"fix the \\\\n bug\"", rememberedWindow,
       "openclaw agent --message \"fix the \\\\n bug\""},
      {"", nothing, ""},
      {" \n\t ", nothing, ""},
  };
  for (const auto& c : cases) {
    // A remembered window is open before each row.
    route(QStringLiteral("openclaw status"));
    ASSERT_TRUE(manager.openClawWindowId());
    panel.shown.clear();
    terminal.calls.clear();

    route(QString::fromUtf8(c.text));
    const QString sent = QString::fromUtf8(c.sent);
    switch (c.route) {
      case nothing:
        EXPECT_FALSE(relayed()) << c.text;
        EXPECT_TRUE(terminal.calls.isEmpty()) << c.text;
        break;
      case gateway:
        // Without a configuration the relay stops at its credential check.
        EXPECT_TRUE(relayed()) << c.text;
        EXPECT_TRUE(terminal.calls.isEmpty()) << c.text;
        break;
      case freshWindow:
        EXPECT_FALSE(relayed()) << c.text;
        ASSERT_EQ(terminal.calls.size(), 1) << c.text;
        EXPECT_TRUE(terminal.calls[0].newWindow) << c.text;
        EXPECT_EQ(terminal.calls[0].command, sent) << c.text;
        break;
      case rememberedWindow:
        EXPECT_FALSE(relayed()) << c.text;
        ASSERT_EQ(terminal.calls.size(), 1) << c.text;
        EXPECT_FALSE(terminal.calls[0].newWindow) << c.text;
        EXPECT_EQ(terminal.calls[0].windowId, QString::number(*manager.openClawWindowId())) << c.text;
        EXPECT_EQ(terminal.calls[0].command, sent) << c.text;
        break;
    }
  }
}

TEST_F(VoiceRoutingTest, SpokenCommandsPileUpInOneWindowUntilItIsClosed) {
  route(QStringLiteral("openclaw status"));
  ASSERT_EQ(manager.openClawWindowId(), 1);
  route(QStringLiteral("openclaw logs"));
  // An interactive command gets its own window and leaves the remembered one alone.
  route(QStringLiteral("openclaw configure"));
  EXPECT_EQ(manager.openClawWindowId(), 1);

  terminal.close(QStringLiteral("1"));
  route(QStringLiteral("openclaw doctor"));
  EXPECT_EQ(manager.openClawWindowId(), 3);
  route(QStringLiteral("openclaw health"));

  const QList<FakeTerminalDriver::Call> expected{
      {true, QStringLiteral("1"), QStringLiteral("openclaw status")},
      {false, QStringLiteral("1"), QStringLiteral("openclaw logs")},
      {true, QStringLiteral("2"), QStringLiteral("openclaw configure")},
      {true, QStringLiteral("3"), QStringLiteral("openclaw doctor")},
      {false, QStringLiteral("3"), QStringLiteral("openclaw health")},
  };
  ASSERT_EQ(terminal.calls.size(), expected.size());
  for (qsizetype i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(terminal.calls[i].newWindow, expected[i].newWindow) << i;
    EXPECT_EQ(terminal.calls[i].windowId, expected[i].windowId) << i;
    EXPECT_EQ(terminal.calls[i].command, expected[i].command) << i;
  }
}

TEST_F(VoiceRoutingTest, OnlyADecimalWindowIdIsRemembered) {
  const struct {
    std::optional<QString> answer;
    std::optional<qint64> remembered;
  } cases[] = {
      {QStringLiteral("42"), 42},
      {QStringLiteral("+5"), 5},
      {QStringLiteral("-3"), -3},
      {QStringLiteral("window-4"), std::nullopt},
      {QStringLiteral(" 4"), std::nullopt},
      {QStringLiteral("99999999999999999999"), std::nullopt},
      {QStringLiteral(""), std::nullopt},
      {std::nullopt, std::nullopt},  // no window could be opened
  };
  for (const auto& c : cases) {
    terminal.windows.clear();  // the remembered window (if any) is gone
    terminal.nextAnswer = c.answer;
    route(QStringLiteral("openclaw status"));
    EXPECT_EQ(manager.openClawWindowId(), c.remembered) << c.answer.value_or(QStringLiteral("<none>")).toStdString();
  }
}

TEST_F(VoiceRoutingTest, CommandsSpokenInQuickSuccessionShareTheWindowTheFirstOpens) {
  terminal.latency = std::chrono::milliseconds(20);
  manager.handleVoiceCommand(QStringLiteral("openclaw status"));
  manager.handleVoiceCommand(QStringLiteral("openclaw logs"));
  manager.handleVoiceCommand(QStringLiteral("openclaw doctor"));
  ASSERT_TRUE(waitUntil([&] { return manager.isTerminalIdle(); }));
  EXPECT_EQ(terminal.commands(),
            (QStringList{QStringLiteral("openclaw status"), QStringLiteral("openclaw logs"), QStringLiteral("openclaw doctor")}));
  EXPECT_EQ(terminal.windows.size(), 1);
}

TEST_F(VoiceRoutingTest, TheReplyHandlerServesOnlyTheGateway) {
  int replies = 0;
  route(QStringLiteral("openclaw status"), [&](const QString&) { ++replies; });
  EXPECT_EQ(terminal.calls.size(), 1);
  EXPECT_EQ(replies, 0);
}
