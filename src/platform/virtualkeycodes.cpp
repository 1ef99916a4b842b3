#include "platform/virtualkeycodes.h"

#include <QHash>

#include <utility>

namespace VirtualKeyCodes {
namespace {

// (evdev code, virtual key code), from linux/input-event-codes.h on one side
// and the US-layout virtual key codes on the other.
constexpr std::pair<int, quint16> kKeys[] = {
    {30, 0},    {31, 1},    {32, 2},    {33, 3},    {35, 4},    {34, 5},    {44, 6},    {45, 7},    // A S D F H G Z X
    {46, 8},    {47, 9},    {86, 10},   {48, 11},   {16, 12},   {17, 13},   {18, 14},   {19, 15},   // C V <> B Q W E R
    {21, 16},   {20, 17},   {2, 18},    {3, 19},    {4, 20},    {5, 21},    {7, 22},    {6, 23},    // Y T 1 2 3 4 6 5
    {13, 24},   {10, 25},   {8, 26},    {12, 27},   {9, 28},    {11, 29},   {27, 30},   {24, 31},   // = 9 7 - 8 0 ] O
    {22, 32},   {26, 33},   {23, 34},   {25, 35},   {28, 36},   {38, 37},   {36, 38},   {40, 39},   // U [ I P Return L J '
    {37, 40},   {39, 41},   {43, 42},   {51, 43},   {53, 44},   {49, 45},   {50, 46},   {52, 47},   // K ; \ , / N M .
    {15, 48},   {57, 49},   {41, 50},   {14, 51},   {1, 53},                                        // Tab Space ` Backspace Esc
    {126, 54},  {125, 55},  {42, 56},   {58, 57},   {56, 58},   {29, 59},   {54, 60},   {100, 61},  // modifiers
    {97, 62},   {464, 63},                                                                          // right Ctrl, Fn
    {187, 64},  {83, 65},   {55, 67},   {78, 69},   {69, 71},   {115, 72},  {114, 73},  {113, 74},  // F17 KP. KP* KP+ NumLock vol
    {98, 75},   {96, 76},   {74, 78},   {188, 79},  {189, 80},  {117, 81},  {82, 82},   {79, 83},   // KP/ KPEnter KP- F18 F19 KP= KP0 KP1
    {80, 84},   {81, 85},   {75, 86},   {76, 87},   {77, 88},   {71, 89},   {190, 90},  {72, 91},   // KP2 ... KP7 F20 KP8
    {73, 92},   {63, 96},   {64, 97},   {65, 98},   {61, 99},   {66, 100},  {67, 101},  {87, 103},  // KP9 F5 F6 F7 F3 F8 F9 F11
    {183, 105}, {186, 106}, {184, 107}, {68, 109},  {88, 111},  {185, 113}, {110, 114}, {102, 115}, // F13 F16 F14 F10 F12 F15 Ins Home
    {104, 116}, {111, 117}, {62, 118},  {107, 119}, {60, 120},  {109, 121}, {59, 122},  {105, 123}, // PgUp Del F4 End F2 PgDn F1 Left
    {106, 124}, {108, 125}, {103, 126},                                                             // Right Down Up
};

struct Tables {
  QHash<int, quint16> byEvdev;
  QHash<quint16, int> byKeyCode;
};

const Tables& tables() {
  static const Tables built = [] {
    Tables result;
    for (const auto& [evdev, key] : kKeys) {
      result.byEvdev.insert(evdev, key);
      result.byKeyCode.insert(key, evdev);
    }
    return result;
  }();
  return built;
}

}  // namespace

quint16 fromEvdev(int evdevCode) {
  const auto known = tables().byEvdev.constFind(evdevCode);
  if (known != tables().byEvdev.constEnd()) return *known;
  return static_cast<quint16>(kUnnamedKeyBase + evdevCode);
}

std::optional<int> toEvdev(quint16 keyCode) {
  const auto known = tables().byKeyCode.constFind(keyCode);
  if (known != tables().byKeyCode.constEnd()) return *known;
  // 0x1000 + an evdev code that has a virtual code of its own is not a key:
  // it would be a second name for that key.
  if (keyCode >= kUnnamedKeyBase && keyCode < kUnnamedKeyBase + 0x300 && !tables().byEvdev.contains(keyCode - kUnnamedKeyBase)) {
    return keyCode - kUnnamedKeyBase;
  }
  return std::nullopt;
}

const QSet<quint16>& modifierKeyCodes() {
  static const QSet<quint16> codes{54, 55, 56, 58, 59, 60, 61, 62};
  return codes;
}

std::optional<quint64> modifierFlag(quint16 keyCode) {
  switch (keyCode) {
    case 54:
    case 55:
      return kCommandFlag;
    case 56:
    case 60:
      return kShiftFlag;
    case 58:
    case 61:
      return kOptionFlag;
    case 59:
    case 62:
      return kControlFlag;
    default:
      return std::nullopt;
  }
}

}  // namespace VirtualKeyCodes
