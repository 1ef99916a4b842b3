#include "pipeline/hotkeyconfig.h"

#include "platform/virtualkeycodes.h"

#include <gtest/gtest.h>

namespace {

using namespace VirtualKeyCodes;

TEST(HotKeyConfig, DisplayStrings) {
  const struct {
    HotKeyConfig config;
    const char* shown;
  } rows[] = {
      {{kOptionFlag, 12, false}, "Alt+Q"},
      {{kCommandFlag | kShiftFlag, 49, true}, "Fn+Shift+Super+Space"},
      {{kControlFlag | kOptionFlag | kShiftFlag | kCommandFlag, 36, false}, "Ctrl+Alt+Shift+Super+Return"},
      {{0, 50, false}, "Key(50)"},
      {{kOptionFlag, -1, false}, "Alt"},
      {{0, -1, true}, "Fn"},
      {{0, -1, false}, ""},
      {{kOptionFlag | kFnFlag | 0x10000, 12, false}, "Alt+Q"},  // only the four bits show
  };
  for (const auto& row : rows) EXPECT_EQ(row.config.displayString(), QString::fromUtf8(row.shown)) << row.shown;
}

TEST(HotKeyConfig, KeyNames) {
  const struct {
    qint64 keyCode;
    const char* name;
  } rows[] = {
      {0, "A"},  {11, "B"}, {8, "C"},  {2, "D"},  {14, "E"}, {3, "F"},  {5, "G"},  {4, "H"},      {34, "I"},
      {38, "J"}, {40, "K"}, {37, "L"}, {46, "M"}, {45, "N"}, {31, "O"}, {35, "P"}, {12, "Q"},     {15, "R"},
      {1, "S"},  {17, "T"}, {32, "U"}, {9, "V"},  {13, "W"}, {7, "X"},  {16, "Y"}, {6, "Z"},      {49, "Space"},
      {36, "Return"}, {10, "Key(10)"}, {53, "Key(53)"}, {4321, "Key(4321)"},
  };
  for (const auto& row : rows) EXPECT_EQ(HotKeyConfig::keyName(row.keyCode), QString::fromUtf8(row.name)) << row.keyCode;
}

TEST(HotKeyCombo, RawValuesRoundTripAndOthersYieldNothing) {
  EXPECT_EQ(allHotKeyCombos(), (QList<HotKeyCombo>{HotKeyCombo::transcribe, HotKeyCombo::rewrite, HotKeyCombo::agent}));
  for (HotKeyCombo combo : allHotKeyCombos()) EXPECT_EQ(hotKeyComboFromRawValue(rawValue(combo)), combo);
  EXPECT_EQ(rawValue(HotKeyCombo::rewrite), QStringLiteral("rewrite"));
  EXPECT_EQ(hotKeyComboFromRawValue(QStringLiteral("Transcribe")), std::nullopt);
  EXPECT_EQ(hotKeyComboFromRawValue(QString()), std::nullopt);
}

}  // namespace
