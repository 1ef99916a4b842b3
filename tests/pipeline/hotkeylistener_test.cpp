// The listener on a keyboard tap fed by the test: what it swallows and what it
// delivers, event by event.
#include "pipeline/hotkeymanager.h"

#include "awaittask.h"
#include "printing.h"
#include "core/tracelog.h"
#include "fakeaccessibilitytrust.h"
#include "fakekeyboardtap.h"
#include "localization/appstrings.h"
#include "logcapture.h"
#include "platform/virtualkeycodes.h"
#include "recordingoverlaypresenter.h"
#include "service/authstore.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using namespace VirtualKeyCodes;
using Type = KeyTapEvent::Type;

constexpr quint16 kQ = 12, kE = 14, kW = 13, kZ = 6, kLeftArrow = 123;
constexpr quint16 kShift = 56, kOption = 58, kRightOption = 61, kControlKey = 59;

KeyTapEvent down(quint16 key, quint64 flags) { return {Type::keyDown, key, flags, false, true, 0}; }
KeyTapEvent repeat(quint16 key, quint64 flags) { return {Type::keyDown, key, flags, true, true, 0}; }
KeyTapEvent up(quint16 key, quint64 flags) { return {Type::keyUp, key, flags, false, true, 0}; }
// A key the front application receives whatever the listener decides.
KeyTapEvent observedDown(quint16 key, quint64 flags) { return {Type::keyDown, key, flags, false, false, 0}; }
KeyTapEvent modifier(quint16 key, quint64 flagsAfter) { return {Type::flagsChanged, key, flagsAfter, false, false, 0}; }

struct Step {
  KeyTapEvent event;
  bool swallowed;
};

struct Scenario {
  const char* name;
  HotKeyConfigMap changes;  // on top of the defaults Alt+Q, Alt+E, Alt+W
  QList<Step> steps;
  QList<HotKeyCombo> delivered;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

const HotKeyConfig kLoneOption{kOptionFlag, -1, false};
const HotKeyConfig kLoneFn{0, -1, true};

class Listener : public ::testing::TestWithParam<Scenario> {};

TEST_P(Listener, SwallowsAndDeliversAsAUserExpects) {
  const Scenario& scenario = GetParam();
  FakeAccessibilityTrust trust;
  FakeKeyboardTap tap;
  HotKeyManager& hotKeys = HotKeyManager::shared();
  for (auto change = scenario.changes.begin(); change != scenario.changes.end(); ++change) {
    hotKeys.setConfig(change.key(), *change);
  }
  QList<HotKeyCombo> delivered;
  hotKeys.start([&](HotKeyCombo combo) { delivered.append(combo); });
  ASSERT_TRUE(hotKeys.isListening());

  for (qsizetype i = 0; i < scenario.steps.size(); ++i) {
    EXPECT_EQ(tap.press(scenario.steps[i].event), scenario.steps[i].swallowed) << "step " << i;
  }
  EXPECT_TRUE(delivered.isEmpty()) << "delivered from inside the key event";
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered, scenario.delivered);
}

INSTANTIATE_TEST_SUITE_P(
    HotKeyManager, Listener,
    ::testing::Values(
        Scenario{"KeyHotkeyIsSwallowedAndDeliveredOnce",
                 {},
                 {{modifier(kOption, kOptionFlag), false},
                  {down(kQ, kOptionFlag), true},
                  {up(kQ, kOptionFlag), true},
                  {modifier(kOption, 0), false}},
                 {HotKeyCombo::transcribe}},
        Scenario{"KeyUpAfterTheModifierWasLetGoIsNotTheHotkeys",
                 {},
                 {{modifier(kOption, kOptionFlag), false},
                  {down(kQ, kOptionFlag), true},
                  {modifier(kOption, 0), false},
                  {up(kQ, 0), false}},
                 {HotKeyCombo::transcribe}},
        Scenario{"HeldKeyHotkeyRepeatsAreSwallowedButStartNothing",
                 {},
                 {{down(kQ, kOptionFlag), true},
                  {repeat(kQ, kOptionFlag), true},
                  {repeat(kQ, kOptionFlag), true},
                  {up(kQ, kOptionFlag), true},
                  {down(kQ, kOptionFlag), true}},
                 {HotKeyCombo::transcribe, HotKeyCombo::transcribe}},
        Scenario{"OtherModifiersOrKeysDoNotMatch",
                 {},
                 {{down(kQ, kOptionFlag | kShiftFlag), false},
                  {down(kQ, 0), false},
                  {down(kZ, kOptionFlag), false},
                  {down(kE, kOptionFlag | 0x10000), true}},  // caps lock does not count
                 {HotKeyCombo::rewrite}},
        Scenario{"AnObservedKeyIsNeverAHotkey",
                 {},
                 {{observedDown(kQ, kOptionFlag), false}},
                 {}},
        Scenario{"KeyHotkeyWithoutFnIgnoresKeysCarryingFn",
                 {{HotKeyCombo::agent, {0, kLeftArrow, false}}},
                 {{down(kLeftArrow, kFnFlag), false}, {down(kLeftArrow, 0), true}},
                 {HotKeyCombo::agent}},
        Scenario{"KeyHotkeyWithFnMatchesOnlyWhileFnIsHeld",
                 {{HotKeyCombo::agent, {0, kLeftArrow, true}}},
                 {{down(kLeftArrow, 0), false}, {down(kLeftArrow, kFnFlag), true}},
                 {HotKeyCombo::agent}},
        Scenario{"LoneModifierFiresOnReleaseWithEitherKey",
                 {{HotKeyCombo::rewrite, kLoneOption}},
                 {{modifier(kRightOption, kOptionFlag), false},
                  {modifier(kRightOption, 0), true},
                  {modifier(kOption, kOptionFlag), false},
                  {modifier(kOption, 0), true}},
                 {HotKeyCombo::rewrite, HotKeyCombo::rewrite}},
        Scenario{"LoneModifierFiresWithShiftAlreadyHeld",
                 {{HotKeyCombo::rewrite, kLoneOption}},
                 {{modifier(kShift, kShiftFlag), false},
                  {modifier(kOption, kShiftFlag | kOptionFlag), false},
                  {modifier(kOption, kShiftFlag), true},
                  {modifier(kShift, 0), false}},
                 {HotKeyCombo::rewrite}},
        Scenario{"OtherKeyOfTheSameModifierIsNoRelease",
                 {{HotKeyCombo::rewrite, kLoneOption}},
                 {{modifier(kOption, kOptionFlag), false},
                  {modifier(kRightOption, kOptionFlag), false},
                  {modifier(kRightOption, kOptionFlag), false},  // right let go, left still held
                  {modifier(kOption, 0), true}},
                 {HotKeyCombo::rewrite}},
        Scenario{"LoneModifierDoesNotFireAfterAnotherKey",
                 {{HotKeyCombo::rewrite, kLoneOption}},
                 {{modifier(kOption, kOptionFlag), false},
                  {observedDown(kZ, kOptionFlag), false},
                  {modifier(kOption, 0), false}},
                 {}},
        Scenario{"LoneModifierDoesNotFireAfterAKeyHotkeyWithIt",
                 {{HotKeyCombo::rewrite, kLoneOption}},
                 {{modifier(kOption, kOptionFlag), false},
                  {observedDown(kQ, kOptionFlag), false},
                  {down(kQ, kOptionFlag), true},
                  {up(kQ, kOptionFlag), true},
                  {modifier(kOption, 0), false}},
                 {HotKeyCombo::transcribe}},
        Scenario{"LoneModifierDoesNotFireAfterAnotherModifier",
                 {{HotKeyCombo::rewrite, kLoneOption}},
                 {{modifier(kOption, kOptionFlag), false},
                  {modifier(kShift, kOptionFlag | kShiftFlag), false},
                  {modifier(kShift, kOptionFlag), false},
                  {modifier(kOption, 0), false}},
                 {}},
        Scenario{"LoneFnFiresOnItsCleanRelease",
                 {{HotKeyCombo::agent, kLoneFn}},
                 {{modifier(kFunctionKey, kFnFlag), false},
                  {modifier(kFunctionKey, 0), true},
                  {modifier(kFunctionKey, kFnFlag), false},
                  {observedDown(kLeftArrow, kFnFlag), false},
                  {modifier(kFunctionKey, 0), false}},
                 {HotKeyCombo::agent}},
        Scenario{"MalformedLoneHotkeysNeverFire",
                 {{HotKeyCombo::agent, {kOptionFlag, -1, true}}, {HotKeyCombo::rewrite, {kOptionFlag | kShiftFlag, -1, false}}},
                 {{modifier(kFunctionKey, kFnFlag), false},
                  {modifier(kFunctionKey, 0), false},
                  {modifier(kOption, kOptionFlag), false},
                  {modifier(kOption, 0), false}},
                 {}}),
    [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; });

TEST(HotKeyManager, DeliveryReadsTheHandlerWhenItRunsAndStopDeliversNothing) {
  FakeAccessibilityTrust trust;
  FakeKeyboardTap tap;
  HotKeyManager& hotKeys = HotKeyManager::shared();
  QList<QString> seen;
  hotKeys.start([&](HotKeyCombo) { seen.append(QStringLiteral("first")); });
  EXPECT_TRUE(tap.press(down(kQ, kOptionFlag)));
  hotKeys.start([&](HotKeyCombo) { seen.append(QStringLiteral("second")); });
  QCoreApplication::processEvents();
  EXPECT_EQ(seen, QList<QString>{QStringLiteral("second")});

  hotKeys.stop();
  EXPECT_FALSE(hotKeys.isListening());
  EXPECT_FALSE(tap.press(down(kQ, kOptionFlag))) << "the key goes to the front application";
  QCoreApplication::processEvents();
  EXPECT_EQ(seen.size(), 1);
}

TEST(HotKeyManager, GrabsFollowTheSavedConfigurationsAtOnce) {
  FakeAccessibilityTrust trust;
  FakeKeyboardTap tap;
  HotKeyManager& hotKeys = HotKeyManager::shared();
  hotKeys.setConfig(HotKeyCombo::agent, kLoneOption);
  hotKeys.start({});
  const QList<KeyGrab> defaults{{kQ, kOptionFlag, false}, {kE, kOptionFlag, false}};
  EXPECT_EQ(tap.grabs, defaults) << "lone modifiers are observed, not grabbed";

  hotKeys.setConfig(HotKeyCombo::transcribe, {kControlFlag | kFnFlag, kZ, false});
  EXPECT_EQ(tap.grabs, defaults) << "an edit reaches the listener only when saved";
  hotKeys.saveConfigs();
  EXPECT_EQ(tap.grabs, (QList<KeyGrab>{{kZ, kControlFlag, false}, {kE, kOptionFlag, false}}));
  QList<HotKeyCombo> delivered;
  hotKeys.start([&](HotKeyCombo combo) { delivered.append(combo); });
  EXPECT_FALSE(tap.press(down(kQ, kOptionFlag)));
  EXPECT_TRUE(tap.press(down(kZ, kControlFlag)));

  // The account store reloads at sign-in: that account's hotkeys apply.
  AuthStore::shared().setEmail(QStringLiteral("ann@example.com"));
  hotKeys.loadConfigs();
  EXPECT_EQ(tap.grabs.size(), 3);
  EXPECT_TRUE(hotKeys.isListening());
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered, QList<HotKeyCombo>{HotKeyCombo::transcribe});
}

// Another application holding a combination costs that combination alone. The
// user is told when the listener starts and after every save, not at each
// restart with the same refusals.
TEST(HotKeyManager, ACombinationAnotherApplicationHoldsCostsOnlyItself) {
  FakeAccessibilityTrust trust;
  FakeKeyboardTap tap;
  RecordingOverlayPresenter panels;
  const QString tip = QStringLiteral("tip ") + currentStrings().hotkeyHeldElsewhereTip;
  HotKeyManager& hotKeys = HotKeyManager::shared();
  tap.held = {{kW, kOptionFlag, false}, {kZ, kOptionFlag, false}};
  QList<HotKeyCombo> delivered;
  hotKeys.start([&](HotKeyCombo combo) { delivered.append(combo); });
  hotKeys.start([&](HotKeyCombo combo) { delivered.append(combo); });
  EXPECT_TRUE(hotKeys.isListening());
  EXPECT_EQ(hotKeys.refusedCombos(), QList<HotKeyCombo>{HotKeyCombo::agent});
  EXPECT_TRUE(tap.press(down(kQ, kOptionFlag)));
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered, QList<HotKeyCombo>{HotKeyCombo::transcribe});
  EXPECT_EQ(panels.calls, QStringList{tip.arg("Alt+W")});

  // A free combination for that operation fixes it; a taken one is told.
  hotKeys.setConfig(HotKeyCombo::agent, {kControlFlag, kW, false});
  hotKeys.saveConfigs();
  EXPECT_TRUE(hotKeys.refusedCombos().isEmpty());
  hotKeys.setConfig(HotKeyCombo::rewrite, {kOptionFlag, kZ, false});
  hotKeys.saveConfigs();
  EXPECT_EQ(hotKeys.refusedCombos(), QList<HotKeyCombo>{HotKeyCombo::rewrite});
  EXPECT_EQ(panels.calls, (QStringList{tip.arg("Alt+W"), tip.arg("Alt+Z")}));

  // Every combination held: nothing listens, although the desktop took the tap.
  tap.held = tap.grabs + tap.held;
  hotKeys.saveConfigs();
  EXPECT_FALSE(hotKeys.isListening());
  EXPECT_EQ(hotKeys.refusedCombos(), allHotKeyCombos());
  EXPECT_EQ(panels.calls.last(), tip.arg("Alt+Q, Alt+Z, Ctrl+W"));
  hotKeys.stop();
  EXPECT_TRUE(hotKeys.refusedCombos().isEmpty());
}

TEST(HotKeyManager, GrabsOnlyWhatAKeyDownCanMatch) {
  FakeAccessibilityTrust trust;
  FakeKeyboardTap tap;
  HotKeyManager& hotKeys = HotKeyManager::shared();
  hotKeys.setConfig(HotKeyCombo::transcribe, {kControlFlag, kOption, false});  // Ctrl + the Alt key itself
  hotKeys.setConfig(HotKeyCombo::rewrite, {-1, kE, false});                     // no valid mask
  hotKeys.setConfig(HotKeyCombo::agent, kLoneFn);
  QList<HotKeyCombo> delivered;
  hotKeys.start([&](HotKeyCombo combo) { delivered.append(combo); });
  ASSERT_TRUE(hotKeys.isListening());
  EXPECT_TRUE(tap.grabs.isEmpty());

  // The Alt key pressed with Ctrl is a flags change the front application
  // keeps, and nothing fires.
  EXPECT_FALSE(tap.press(modifier(kControlKey, kControlFlag)));
  EXPECT_FALSE(tap.press(modifier(kOption, kControlFlag | kOptionFlag)));
  EXPECT_FALSE(tap.press(modifier(kOption, kControlFlag)));
  QCoreApplication::processEvents();
  EXPECT_TRUE(delivered.isEmpty());
}

QStringList traceLines() {
  flushTrace();
  QFile file(traceFilePath());
  if (!file.open(QIODevice::ReadOnly)) return {};
  QStringList messages;
  for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    messages << line.section(QStringLiteral("] "), 1);  // without time and thread tag
  }
  return messages;
}

TEST(HotKeyManager, StartsStopsAndHotkeysLeaveTraceAndLogLines) {
  LogCapture log;
  FakeAccessibilityTrust trust(false);
  FakeKeyboardTap tap;
  HotKeyManager& hotKeys = HotKeyManager::shared();
  hotKeys.setConfig(HotKeyCombo::rewrite, kLoneOption);
  hotKeys.start({});
  tap.press(down(kQ, kOptionFlag));
  tap.press(up(kQ, kOptionFlag));
  tap.press(modifier(kOption, kOptionFlag));
  tap.press(modifier(kOption, 0));
  tap.held = {{kE, kControlFlag, false}};
  hotKeys.setConfig(HotKeyCombo::agent, {kControlFlag, kE, false});
  hotKeys.saveConfigs();
  tap.refuse = true;
  hotKeys.start({});
  EXPECT_EQ(traceLines(), (QStringList{
                              "HotKey: AX not trusted, trying defaultTap only",
                              "HotKey: defaultTap installed OK",
                              "HotKey INTERCEPT keyDown: combo=transcribe, keyCode=12",
                              "HotKey INTERCEPT keyUp: keyCode=12",
                              "HotKey INTERCEPT flagsChanged: combo=rewrite, keyCode=58",
                              "HotKey: grab refused combo=agent, keys=Ctrl+E",
                              "HotKey: AX not trusted, trying defaultTap only",
                              "HotKey: defaultTap install failed",
                          }));
  EXPECT_FALSE(hotKeys.isListening());

  QList<std::pair<QtMsgType, QString>> logged;
  for (const LogCapture::Message& message : log.messages()) {
    if (message.category == QLatin1String("vorlix.voice-input.HotKey")) logged.append({message.type, message.text});
  }
  EXPECT_EQ(logged, (QList<std::pair<QtMsgType, QString>>{
                        {QtCriticalMsg, QStringLiteral("Accessibility not trusted; defaultTap may fail")},
                        {QtInfoMsg, QStringLiteral("CGEventTap (defaultTap) installed — hotkeys will be intercepted")},
                        {QtCriticalMsg, QStringLiteral("Hotkey grab refused, another application holds it: "
                                                       "combo=agent, keys=Ctrl+E")},
                        {QtCriticalMsg, QStringLiteral("Accessibility not trusted; defaultTap may fail")},
                        {QtCriticalMsg, QStringLiteral("CGEventTap installation failed")},
                    }));
}

}  // namespace
