#include "platform/virtualkeycodes.h"

#include <gtest/gtest.h>

namespace {

using namespace VirtualKeyCodes;

TEST(VirtualKeyCodes, KeysTranslateByPositionBothWays) {
  const struct {
    int evdev;
    quint16 keyCode;
  } rows[] = {
      {16, 12},   // Q
      {17, 13},   // W
      {18, 14},   // E
      {30, 0},    // A
      {44, 6},    // Z
      {57, 49},   // Space
      {28, 36},   // Return
      {7, 22},    // 6 (the US codes of the digit row are not in order)
      {6, 23},    // 5
      {86, 10},   // the extra key of ISO keyboards
      {59, 122},  // F1
      {103, 126}, // Up
      {56, 58},   // left Alt = option
      {100, 61},  // right Alt = right option
      {125, 55},  // left Super = command
      {126, 54},  // right Super = right command
      {29, 59},   // left Ctrl
      {97, 62},   // right Ctrl
      {42, 56},   // left Shift
      {54, 60},   // right Shift
      {58, 57},   // Caps Lock
  };
  for (const auto& row : rows) {
    EXPECT_EQ(fromEvdev(row.evdev), row.keyCode) << row.evdev;
    EXPECT_EQ(toEvdev(row.keyCode), row.evdev) << row.keyCode;
  }
}

TEST(VirtualKeyCodes, KeysWithoutAUsCodeStillHaveOneOfTheirOwn) {
  const int brightnessUp = 225;
  EXPECT_EQ(fromEvdev(brightnessUp), kUnnamedKeyBase + brightnessUp);
  EXPECT_EQ(toEvdev(kUnnamedKeyBase + brightnessUp), brightnessUp);
  EXPECT_EQ(toEvdev(kUnnamedKeyBase + 16), std::nullopt) << "Q has its own code; no second name";
  EXPECT_EQ(toEvdev(52), std::nullopt) << "a US code no PC key has";
  EXPECT_EQ(toEvdev(0xFFFF), std::nullopt);
}

TEST(VirtualKeyCodes, ModifierKeysAndTheirFlags) {
  const struct {
    quint16 keyCode;
    std::optional<quint64> flag;
  } rows[] = {
      {54, kCommandFlag}, {55, kCommandFlag}, {56, kShiftFlag},  {60, kShiftFlag},   {58, kOptionFlag},
      {61, kOptionFlag},  {59, kControlFlag}, {62, kControlFlag}, {63, std::nullopt}, {57, std::nullopt},
      {12, std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(modifierFlag(row.keyCode), row.flag) << row.keyCode;
    EXPECT_EQ(modifierKeyCodes().contains(row.keyCode), row.flag.has_value()) << row.keyCode;
  }
  EXPECT_EQ(normalizedModifiers(kOptionFlag | kFnFlag | 0x10000 | 0x100), kOptionFlag);
}

}  // namespace
