#include "awaittask.h"
#include "faketerminaldriver.h"
#include "openclaw/openclawmanager.h"
#include "openclawtest.h"
#include "panelrecorder.h"

#include <gtest/gtest.h>

namespace {

class VoiceRoutingTest : public OpenClawTest {
 protected:
  void route(const QString& text, OpenClawManager::ReplyHandler onReply = {}) {
    manager.handleVoiceCommand(text, std::move(onReply));
    ASSERT_TRUE(waitUntil([&] { return manager.isTerminalIdle(); }));
  }
  QList<std::tuple<bool, QString, QString>> calls() const {
    QList<std::tuple<bool, QString, QString>> list;
    for (const auto& call : terminal.calls) list.append({call.newWindow, call.windowId, call.command});
    return list;
  }

  FakeTerminalDriver terminal;
  PanelRecorder panel;
};

}  // namespace

// With a remembered window open: slash commands and a bare "stop" go to the gateway (which, without a
// configuration, stops at its credential check), interactive commands get a fresh window, the rest the
// remembered one.
TEST_F(VoiceRoutingTest, EachTextGoesToTheGatewayAFreshWindowOrTheRememberedOne) {
  enum Route { nothing, gateway, freshWindow, rememberedWindow };
  const struct {
    const char* text;
    Route route;
    const char* sent;
  } cases[] = {
      {"  Stop \n", gateway, ""},
      {"\t/new session\n", gateway, ""},
      {"stop now", rememberedWindow, "stop now"},
      {"openclaw models set gpt-5", freshWindow, "openclaw models set gpt-5"},
      {"openclaw models set", rememberedWindow, "openclaw models set"},
      {" openclaw onboard ", freshWindow, "openclaw onboard"},
      {" \n\t ", nothing, ""},
  };
  for (const auto& c : cases) {
    route(QStringLiteral("openclaw status"));
    const QString remembered = manager.openClawWindowId().value_or(QString());
    panel.shown.clear();
    terminal.calls.clear();
    int replies = 0;
    route(QString::fromUtf8(c.text), [&](const QString&) { ++replies; });
    EXPECT_EQ(!panel.shown.isEmpty(), c.route == gateway) << c.text;
    EXPECT_EQ(replies, 0) << c.text;
    if (c.route == freshWindow || c.route == rememberedWindow) {
      const bool fresh = c.route == freshWindow;
      ASSERT_EQ(calls().size(), 1) << c.text;
      EXPECT_EQ(std::get<0>(calls()[0]), fresh) << c.text;
      if (!fresh) { EXPECT_EQ(std::get<1>(calls()[0]), remembered) << c.text; }
      EXPECT_EQ(std::get<2>(calls()[0]), QString::fromUtf8(c.sent)) << c.text;
    } else {
      EXPECT_TRUE(terminal.calls.isEmpty()) << c.text;
    }
  }
}

TEST_F(VoiceRoutingTest, SpokenCommandsPileUpInOneWindowUntilItIsClosed) {
  terminal.latency = std::chrono::milliseconds(20);
  // Spoken in quick succession, they share the window the first opens.
  manager.handleVoiceCommand(QStringLiteral("openclaw status"));
  manager.handleVoiceCommand(QStringLiteral("openclaw logs"));
  route(QStringLiteral("openclaw configure"));  // interactive: a window of its own
  EXPECT_EQ(manager.openClawWindowId(), QStringLiteral("1"));
  terminal.close(QStringLiteral("1"));
  route(QStringLiteral("openclaw doctor"));
  route(QStringLiteral("openclaw health"));
  EXPECT_EQ(manager.openClawWindowId(), QStringLiteral("3"));
  using Call = std::tuple<bool, QString, QString>;
  EXPECT_EQ(calls(), (QList<Call>{{true, "1", "openclaw status"},
                                  {false, "1", "openclaw logs"},
                                  {true, "2", "openclaw configure"},
                                  {true, "3", "openclaw doctor"},
                                  {false, "3", "openclaw health"}}));
  // Each window comes to the front when it opens, the remembered one again with each command typed into it.
  EXPECT_EQ(terminal.activated, (QStringList{"1", "1", "2", "3", "3"}));
}

// The id is the terminal's own and is remembered as given, whatever it looks like.
TEST_F(VoiceRoutingTest, TheIdTheTerminalGaveIsRememberedAsItIs) {
  const struct {
    std::optional<QString> answer;
    std::optional<QString> remembered;
  } cases[] = {
      {QStringLiteral("42"), QStringLiteral("42")},
      {QStringLiteral("3f9c0a1b2c3d4e5f"), QStringLiteral("3f9c0a1b2c3d4e5f")},
      {QString(), {}},
      {std::nullopt, {}},  // no window could be opened
  };
  for (const auto& c : cases) {
    terminal.windows.clear();
    terminal.nextAnswer = c.answer;
    route(QStringLiteral("openclaw status"));
    EXPECT_EQ(manager.openClawWindowId(), c.remembered) << c.answer.value_or(QStringLiteral("<none>")).toStdString();
  }
}
