// What the key capture field reports for what the user does on the keyboard.
#include "mainwindow/keycapturerecognizer.h"

#include "platform/virtualkeycodes.h"

#include <gtest/gtest.h>

namespace {

using namespace VirtualKeyCodes;
using Type = KeyTapEvent::Type;
using Kind = KeyCaptureReport::Kind;

constexpr quint16 kA = 0, kQ = 12, kEsc = 53, kCapsLock = 57, kFn = 63;
constexpr quint16 kLeftShift = 56, kRightShift = 60, kLeftOption = 58, kLeftControl = 59, kRightCommand = 54;

KeyTapEvent down(quint16 key, quint64 flags = 0) { return {Type::keyDown, key, flags, false, false, 0}; }
KeyTapEvent up(quint16 key, quint64 flags = 0) { return {Type::keyUp, key, flags, false, false, 0}; }
// A modifier (or Fn) changed; `flags` are those held after the change.
KeyTapEvent change(quint16 key, quint64 flagsAfter) { return {Type::flagsChanged, key, flagsAfter, false, false, 0}; }

KeyCaptureReport key(int code, quint64 modifiers, bool requiresFn = false) {
  return {Kind::key, code, modifiers, requiresFn};
}
const KeyCaptureReport kEscape{Kind::escape, -1, 0, false};

struct Sequence {
  const char* name;
  QList<KeyTapEvent> events;
  QList<KeyCaptureReport> reports;  // in order, whichever events gave them
};

void PrintTo(const Sequence& sequence, std::ostream* out) { *out << sequence.name; }

class Capture : public ::testing::TestWithParam<Sequence> {};

TEST_P(Capture, ReportsWhatWasPressed) {
  KeyCaptureRecognizer recognizer;
  QList<KeyCaptureReport> reports;
  for (const KeyTapEvent& event : GetParam().events) {
    if (const auto report = recognizer.handle(event)) reports.append(*report);
  }
  EXPECT_EQ(reports, GetParam().reports);
}

INSTANTIATE_TEST_SUITE_P(
    KeyCapture, Capture,
    ::testing::Values(
        Sequence{"a key with the modifiers held, reported on its press",
                 {change(kLeftControl, kControlFlag), change(kLeftShift, kControlFlag | kShiftFlag),
                  down(kQ, kControlFlag | kShiftFlag), up(kQ, kControlFlag | kShiftFlag),
                  change(kLeftShift, kControlFlag), change(kLeftControl, 0)},
                 {key(kQ, kControlFlag | kShiftFlag)}},
        Sequence{"a key alone", {down(kA), up(kA)}, {key(kA, 0)}},
        Sequence{"caps lock and Fn bits never count as modifiers",
                 {down(kA, kShiftFlag | 0x10000 | kFnFlag)},
                 {key(kA, kShiftFlag, true)}},
        Sequence{"Escape cancels, with or without modifiers",
                 {down(kEsc), change(kLeftOption, kOptionFlag), down(kEsc, kOptionFlag)},
                 {kEscape, kEscape}},
        Sequence{"a lone modifier, on its release", {change(kLeftOption, kOptionFlag), change(kLeftOption, 0)},
                 {key(-1, kOptionFlag)}},
        Sequence{"a right-hand modifier", {change(kRightCommand, kCommandFlag), change(kRightCommand, 0)},
                 {key(-1, kCommandFlag)}},
        Sequence{"Fn alone", {change(kFn, kFnFlag), change(kFn, 0)}, {key(-1, 0, true)}},
        Sequence{"Fn held with a key: the key needs Fn, the release says nothing",
                 {change(kFn, kFnFlag), down(kA), change(kFn, 0)},
                 {key(kA, 0, true)}},
        Sequence{"a repeated Fn press changes nothing",
                 {change(kFn, kFnFlag), change(kFn, kFnFlag), change(kFn, 0), change(kFn, 0)},
                 {key(-1, 0, true)}},
        Sequence{"a modifier used with a key is no lone modifier",
                 {change(kLeftShift, kShiftFlag), down(kA, kShiftFlag), change(kLeftShift, 0)},
                 {key(kA, kShiftFlag)}},
        Sequence{"holding A, pressing and releasing B reports B",
                 {change(kLeftControl, kControlFlag), change(kLeftOption, kControlFlag | kOptionFlag),
                  change(kLeftOption, kControlFlag), change(kLeftControl, 0)},
                 {key(-1, kOptionFlag)}},
        Sequence{"releasing A before B reports B",
                 {change(kLeftControl, kControlFlag), change(kLeftOption, kControlFlag | kOptionFlag),
                  change(kLeftControl, kOptionFlag), change(kLeftOption, 0)},
                 {key(-1, kOptionFlag)}},
        Sequence{"the second key of a held modifier keeps its flag set: nothing",
                 {change(kLeftShift, kShiftFlag), change(kRightShift, kShiftFlag), change(kRightShift, kShiftFlag),
                  change(kLeftShift, 0)},
                 {}},
        Sequence{"a release whose press came before the capture", {change(kLeftOption, 0), change(kFn, 0)}, {}},
        Sequence{"caps lock is no key and does not end a lone-modifier hold",
                 {down(kCapsLock), change(kLeftOption, kOptionFlag), down(kCapsLock, kOptionFlag),
                  change(kLeftOption, 0)},
                 {key(-1, kOptionFlag)}},
        Sequence{"auto-repeat presses are reported like any press", {down(kA), down(kA)}, {key(kA, 0), key(kA, 0)}},
        Sequence{"key releases report nothing", {up(kA), up(kEsc)}, {}}));

TEST(KeyCapture, ResetForgetsTheHeldKeys) {
  KeyCaptureRecognizer recognizer;
  recognizer.handle(change(kFn, kFnFlag));
  recognizer.handle(change(kLeftOption, kOptionFlag));
  recognizer.reset();
  EXPECT_FALSE(recognizer.fnDown());
  EXPECT_EQ(recognizer.handle(change(kLeftOption, 0)), std::nullopt);
  EXPECT_EQ(recognizer.handle(change(kFn, 0)), std::nullopt);
}

}  // namespace
