#include "diagnostics/versionstrings.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionStrings, SystemVersionsBecomeThreeDecimalNumbers) {
  const struct { const char* text; std::optional<QString> expected; } cases[] = {
      {"12", QStringLiteral("12.0.0")},                 // Debian's VERSION_ID
      {"22.04", QStringLiteral("22.4.0")},              // numbers, not digit strings
      {"6.1.0-18-amd64", QStringLiteral("6.1.0")},      // a kernel release
      {"2024.1.5.7", QStringLiteral("2024.1.5")},
      {"5.10-rc1", QStringLiteral("5.10.0")},
      {"unknown", std::nullopt},                        // what Qt says without a VERSION_ID
  };
  for (const auto& c : cases) EXPECT_EQ(threePartVersion(QString::fromLatin1(c.text)), c.expected) << c.text;
}

}  // namespace
