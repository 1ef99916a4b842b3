#include "platform/virtualkeycodes.h"
#include <gtest/gtest.h>

namespace {

using namespace VirtualKeyCodes;

TEST(VirtualKeyCodes, KeysTranslateByPositionBothWaysAndModifiersHaveTheirFlags) {
  const struct {
    int evdev;
    quint16 keyCode;
    std::optional<quint64> flag;
  } rows[] = {
      {16, 12, {}}, {30, 0, {}}, {44, 6, {}}, {57, 49, {}}, {28, 36, {}}, {59, 122, {}}, {103, 126, {}},
      {7, 22, {}}, {6, 23, {}},  // the US codes of the digit row are not in order
      {86, 10, {}},              // the extra key of ISO keyboards
      {56, 58, kOptionFlag}, {100, 61, kOptionFlag}, {125, 55, kCommandFlag}, {126, 54, kCommandFlag},
      {29, 59, kControlFlag}, {97, 62, kControlFlag}, {42, 56, kShiftFlag}, {54, 60, kShiftFlag}, {58, 57, {}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(fromEvdev(row.evdev), row.keyCode) << row.evdev;
    EXPECT_EQ(toEvdev(row.keyCode), row.evdev) << row.keyCode;
    EXPECT_EQ(modifierFlag(row.keyCode), row.flag) << row.keyCode;
    EXPECT_EQ(modifierKeyCodes().contains(row.keyCode), row.flag.has_value()) << row.keyCode;
  }
  EXPECT_EQ(modifierFlag(63), std::nullopt);  // Fn: no PC keyboard reports it
  // Keys without a US code still have one of their own, and only one.
  EXPECT_EQ(fromEvdev(225), kUnnamedKeyBase + 225);
  EXPECT_EQ(toEvdev(kUnnamedKeyBase + 225), 225);
  EXPECT_EQ(toEvdev(kUnnamedKeyBase + 16), std::nullopt);
  EXPECT_EQ(toEvdev(52).value_or(-1) + toEvdev(0xFFFF).value_or(-1), -2);  // US codes no PC key has
  EXPECT_EQ(normalizedModifiers(kOptionFlag | kFnFlag | 0x10000 | 0x100), kOptionFlag);
}

}  // namespace
