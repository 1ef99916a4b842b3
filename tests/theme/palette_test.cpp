#include "theme/palette.h"

#include <gtest/gtest.h>

namespace {

struct Entry {
  const char* name;
  QColor color;
  double red, green, blue, alpha;
};

// QColor keeps 16 bits a channel.
constexpr double kChannelStep = 1.0 / 65535.0;

TEST(Palette, EveryEntryHasItsComponentsAndOpacity) {
  const Entry entries[] = {
      {"cyberBgTop", Palette::cyberBgTop, 0.03, 0.10, 0.08, 1},
      {"cyberBgBottom", Palette::cyberBgBottom, 0.01, 0.06, 0.12, 1},
      {"cyberPanelBg", Palette::cyberPanelBg, 0.04, 0.12, 0.10, 0.95},
      {"cyberCardBg", Palette::cyberCardBg, 0.05, 0.14, 0.11, 0.88},
      {"cyberBgDeep", Palette::cyberBgDeep, 0.02, 0.08, 0.06, 1},
      {"neonCyan", Palette::neonCyan, 0.0, 1.0, 0.85, 1},
      {"neonGreen", Palette::neonGreen, 0.2, 1.0, 0.4, 1},
      {"neonLime", Palette::neonLime, 0.5, 1.0, 0.0, 1},
      {"neonPink", Palette::neonPink, 1.0, 0.05, 0.6, 1},
      {"neonOrange", Palette::neonOrange, 1.0, 0.55, 0.0, 1},
      {"neonRed", Palette::neonRed, 1.0, 0.15, 0.25, 1},
      {"neonYellow", Palette::neonYellow, 1.0, 0.92, 0.0, 1},
      {"neonPurple", Palette::neonPurple, 0.65, 0.25, 1.0, 1},
      {"cyberTextPrimary", Palette::cyberTextPrimary, 0.92, 1.0, 0.95, 1},
      {"cyberTextSecondary", Palette::cyberTextSecondary, 0.45, 0.65, 0.55, 1},
      {"cyberTextTertiary", Palette::cyberTextTertiary, 0.28, 0.42, 0.35, 1},
      {"cyberBorder", Palette::cyberBorder, 0.10, 0.30, 0.22, 1},
      {"cyberSeparator", Palette::cyberSeparator, 0.08, 0.25, 0.18, 1},
  };
  for (const Entry& entry : entries) {
    SCOPED_TRACE(entry.name);
    EXPECT_TRUE(entry.color.isValid());
    EXPECT_NEAR(entry.color.redF(), entry.red, kChannelStep);
    EXPECT_NEAR(entry.color.greenF(), entry.green, kChannelStep);
    EXPECT_NEAR(entry.color.blueF(), entry.blue, kChannelStep);
    EXPECT_NEAR(entry.color.alphaF(), entry.alpha, kChannelStep);
  }
}

TEST(Palette, MatchesQColorsOwnConversion) {
  // The compile-time constants round exactly as QColor::fromRgbF does.
  EXPECT_EQ(Palette::cyberCardBg, QColor::fromRgbF(0.05f, 0.14f, 0.11f, 0.88f));
  EXPECT_EQ(Palette::neonPurple, QColor::fromRgbF(0.65f, 0.25f, 1.0f));
}

TEST(Palette, OpacityMultipliesTheEntrysOwnAlpha) {
  const QColor cyan = Palette::withOpacity(Palette::neonCyan, 0.6);
  EXPECT_NEAR(cyan.redF(), 0.0, kChannelStep);
  EXPECT_NEAR(cyan.greenF(), 1.0, kChannelStep);
  EXPECT_NEAR(cyan.blueF(), 0.85, kChannelStep);
  EXPECT_NEAR(cyan.alphaF(), 0.6, kChannelStep);

  EXPECT_NEAR(Palette::withOpacity(Palette::cyberCardBg, 0.5).alphaF(), 0.44, 2 * kChannelStep);
  EXPECT_NEAR(Palette::withOpacity(Palette::cyberPanelBg, 0).alphaF(), 0, kChannelStep);
  EXPECT_NEAR(Palette::withOpacity(Palette::neonRed, 1.5).alphaF(), 1, kChannelStep);
}

}  // namespace
