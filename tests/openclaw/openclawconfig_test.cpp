#include "openclaw/openclawconfig.h"
#include "openclaw/openclawmanager.h"

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
      {R"({"gateway":{"auth":{"token":"tk"}}})", token("tk")},
      {R"({"gateway":{"auth":{"mode":"token","password":"pw","token":"tk"}}})", token("tk")},
      {R"({"gateway":{"auth":{"mode":"password","password":"","token":""}}})", std::nullopt},
      {R"({"auth":{"token":"tk"}})", std::nullopt},
      {R"(["gateway"])", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(credentialOf(c.json), c.expected) << c.json;
}

TEST(OpenClawConfigTest, TheSelectionIsFramedAheadOfTheInstruction) {
  const QString message = QStringLiteral("summarise this");
  const struct {
    std::optional<QString> selection;
    QString expected;
  } cases[] = {
      {std::nullopt, message},
      {QStringLiteral(" \n\t\n "), message},
      // Only the emptiness test trims: the block keeps the selection as it was.
      {QStringLiteral("  two words \n"),
       QStringLiteral("[当前选中的文本]\n---\n  two words \n\n---\n\nsummarise this")},
  };
  for (const auto& c : cases) EXPECT_EQ(OpenClawManager::composeWithSelection(message, c.selection), c.expected);
}
