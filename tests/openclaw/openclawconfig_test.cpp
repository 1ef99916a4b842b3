#include "openclaw/openclawconfig.h"
#include "openclaw/openclawmanager.h"
#include "openclawhome.h"

#include <gtest/gtest.h>

namespace {

std::optional<GatewayCredential> credentialOf(const QByteArray& json) {
  const std::optional<OpenClawConfig> config = OpenClawConfig::parse(json);
  return config ? config->credential() : std::nullopt;
}

GatewayCredential token(const char* secret) { return {QStringLiteral("token"), QString::fromUtf8(secret)}; }

}  // namespace

TEST(OpenClawConfigTest, TheCredentialComesFromTheGatewaysAuth) {
  const struct {
    const char* json;
    std::optional<GatewayCredential> expected;
  } cases[] = {
      {R"({"gateway":{"auth":{"mode":"password","password":"pw","token":"tk"}}})",
       GatewayCredential{QStringLiteral("password"), QStringLiteral("pw")}},
      // An empty password falls back to the token, whatever the mode says.
      {R"({"gateway":{"auth":{"mode":"password","password":"","token":"tk"}}})", token("tk")},
      {R"({"gateway":{"auth":{"mode":"password","password":7,"token":"tk"}}})", token("tk")},
      {R"({"gateway":{"auth":{"token":"tk"}}})", token("tk")},
      {R"({"gateway":{"auth":{"mode":"token","password":"pw","token":"tk"}}})", token("tk")},
      {R"({"gateway":{"auth":{"mode":42,"token":"tk"}}})", token("tk")},
      {R"({"gateway":{"auth":{"mode":"password","password":"","token":""}}})", std::nullopt},
      {R"({"gateway":{"auth":{"token":null}}})", std::nullopt},
      {R"({"gateway":{"auth":"tk"}})", std::nullopt},
      {R"({"gateway":[]})", std::nullopt},
      {R"({"auth":{"token":"tk"}})", std::nullopt},
      {R"(["gateway"])", std::nullopt},
      {R"({"gateway":)", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(credentialOf(c.json), c.expected) << c.json;
}

TEST(OpenClawConfigTest, ModeAndChatEndpointChecks) {
  const struct {
    const char* json;
    bool hasMode;
    bool chatEnabled;
  } cases[] = {
      {R"({"gateway":{"mode":"local","http":{"endpoints":{"chatCompletions":{"enabled":true}}}}})", true, true},
      // Any value counts as a mode, even null.
      {R"({"gateway":{"mode":null}})", true, false},
      {R"({"gateway":{"http":{"endpoints":{"chatCompletions":{"enabled":"true"}}}}})", false, false},
      {R"({"gateway":{"http":{"endpoints":{"chatCompletions":{"enabled":false}}}}})", false, false},
      {R"({"gateway":{"http":{"endpoints":[]}}})", false, false},
      {R"({"gateway":"local"})", false, false},
      {R"({})", false, false},
  };
  for (const auto& c : cases) {
    const std::optional<OpenClawConfig> config = OpenClawConfig::parse(c.json);
    ASSERT_TRUE(config) << c.json;
    EXPECT_EQ(config->hasGatewayMode(), c.hasMode) << c.json;
    EXPECT_EQ(config->chatCompletionsEnabled(), c.chatEnabled) << c.json;
  }
}

TEST(OpenClawConfigTest, TheManagerReadsTheCredentialFromTheHomeFolderEachTime) {
  EXPECT_EQ(OpenClawManager::readGatewayCredential(), std::nullopt);
  OpenClawHome::writeConfig(R"({"gateway":{"auth":{"token":"first"}}})");
  EXPECT_EQ(OpenClawManager::readGatewayCredential(), token("first"));
  OpenClawHome::writeConfig(R"({"gateway":{"auth":{"token":"second"}}})");
  EXPECT_EQ(OpenClawManager::readGatewayCredential(), token("second"));
}

TEST(OpenClawConfigTest, TheSelectionIsFramedAheadOfTheInstruction) {
  const QString message = QStringLiteral("summarise this");
  const struct {
    std::optional<QString> selection;
    QString expected;
  } cases[] = {
      {std::nullopt, message},
      {QStringLiteral(""), message},
      {QStringLiteral(" \n\t\n "), message},
      // Only the emptiness test trims: the block keeps the selection as it was.
      {QStringLiteral("  two words \n"),
       QStringLiteral("[当前选中的文本]\n---\n  two words \n\n---\n\nsummarise this")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OpenClawManager::composeWithSelection(message, c.selection), c.expected)
        << c.selection.value_or(QStringLiteral("<none>")).toStdString();
  }
  EXPECT_EQ(OpenClawManager::composeWithSelection(QString(), std::nullopt), QString());
}

TEST(OpenClawConfigTest, InteractiveSubcommandsAreFoundAnywhereInTheText) {
  const struct {
    const char* command;
    bool interactive;
  } cases[] = {
      {"openclaw onboard", true},
      {"OPENCLAW CONFIGURE", true},
      {"openclaw models set gpt-5", true},
      {"openclaw models set", false},  // "models set " needs its trailing space
      {"openclaw models set-image x", true},
      {"openclaw config set gateway.mode local", true},
      {"openclaw config get gateway.mode", false},
      {"openclaw channels login", true},
      {"openclaw status", false},
      {"please run the setup wizard", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OpenClawManager::isInteractiveCommand(QString::fromUtf8(c.command)), c.interactive) << c.command;
  }
}
