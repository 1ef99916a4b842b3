// The hotkeys: what the listener swallows and delivers event by event, its
// grabs, the stored configurations of each account, how they read, and the
// permission refresh that switches the listener.
#include "pipeline/hotkeymanager.h"
#include "pipeline/hotkeystorage.h"
#include "pipeline/permissionhelpdialog.h"
#include "pipeline/permissionmanager.h"

#include "awaittask.h"
#include "fakeaccessibilitytrust.h"
#include "fakekeyboardtap.h"
#include "fakemicrophoneaccess.h"
#include "pipelinestate.h"
#include "printing.h"
#include "recordingoverlaypresenter.h"
#include "tracelines.h"

#include "localization/appstrings.h"
#include "platform/virtualkeycodes.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QSignalSpy>

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
// A key this program typed itself (its copy and paste chords).
KeyTapEvent own(KeyTapEvent event) { event.synthetic = true; return event; }

const HotKeyConfig kLoneOption{kOptionFlag, -1, false};
const HotKeyConfig kLoneFn{0, -1, true};
const HotKeyConfig kAltQ{kOptionFlag, kQ, false}, kAltE{kOptionFlag, kE, false}, kAltW{kOptionFlag, kW, false};
const HotKeyConfig kCtrlR{kControlFlag, 15, false}, kCtrlT{kControlFlag, 17, false}, kSuperY{kCommandFlag, 16, false};
const HotKeyConfigMap kDefaults{{HotKeyCombo::transcribe, kAltQ}, {HotKeyCombo::rewrite, kAltE}, {HotKeyCombo::agent, kAltW}};

struct Scenario {
  const char* name;
  HotKeyConfigMap changes;  // on top of the defaults Alt+Q, Alt+E, Alt+W
  QList<std::pair<KeyTapEvent, bool>> steps;  // an event and whether it is swallowed
  QList<HotKeyCombo> delivered;
};
void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

class Listener : public PipelineTest, public ::testing::WithParamInterface<Scenario> {
 protected:
  FakeAccessibilityTrust trust;
  FakeKeyboardTap tap;
};

TEST_P(Listener, SwallowsAndDeliversAsAUserExpects) {
  const Scenario& scenario = GetParam();
  HotKeyManager& hotKeys = HotKeyManager::shared();
  for (auto change = scenario.changes.begin(); change != scenario.changes.end(); ++change) {
    hotKeys.setConfig(change.key(), *change);
  }
  QList<HotKeyCombo> delivered;
  hotKeys.start([&](HotKeyCombo combo) { delivered.append(combo); });
  ASSERT_TRUE(hotKeys.isListening());
  for (qsizetype i = 0; i < scenario.steps.size(); ++i) {
    EXPECT_EQ(tap.press(scenario.steps[i].first), scenario.steps[i].second) << "step " << i;
  }
  EXPECT_TRUE(delivered.isEmpty()) << "delivered from inside the key event";
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered, scenario.delivered);
}

INSTANTIATE_TEST_SUITE_P(
    HotKeyManager, Listener,
    ::testing::Values(
        Scenario{"KeyHotkeyIsSwallowedAndDeliveredOnce", {},
                 {{modifier(kOption, kOptionFlag), false}, {down(kQ, kOptionFlag), true}, {up(kQ, kOptionFlag), true},
                  {modifier(kOption, 0), false}, {up(kQ, 0), false}},
                 {HotKeyCombo::transcribe}},
        Scenario{"HeldKeyRepeatsAreSwallowedButStartNothing", {},
                 {{down(kQ, kOptionFlag), true}, {repeat(kQ, kOptionFlag), true}, {up(kQ, kOptionFlag), true},
                  {down(kQ, kOptionFlag), true}},
                 {HotKeyCombo::transcribe, HotKeyCombo::transcribe}},
        Scenario{"OtherModifiersOrKeysDoNotMatch", {},
                 {{down(kQ, kOptionFlag | kShiftFlag), false}, {down(kQ, 0), false}, {down(kZ, kOptionFlag), false},
                  {observedDown(kQ, kOptionFlag), false}, {down(kE, kOptionFlag | 0x10000), true}},  // caps lock does not count
                 {HotKeyCombo::rewrite}},
        Scenario{"FnMustBeHeldExactlyWhenTheHotkeyAsksForIt",
                 {{HotKeyCombo::agent, {0, kLeftArrow, false}}, {HotKeyCombo::rewrite, {0, kZ, true}}},
                 {{down(kLeftArrow, kFnFlag), false}, {down(kLeftArrow, 0), true}, {down(kZ, 0), false},
                  {down(kZ, kFnFlag), true}},
                 {HotKeyCombo::agent, HotKeyCombo::rewrite}},
        Scenario{"LoneModifierFiresOnReleaseWithEitherKeyAndShiftHeld", {{HotKeyCombo::rewrite, kLoneOption}},
                 {{modifier(kRightOption, kOptionFlag), false}, {modifier(kRightOption, 0), true},
                  {modifier(kShift, kShiftFlag), false}, {modifier(kOption, kShiftFlag | kOptionFlag), false},
                  {modifier(kOption, kShiftFlag), true}, {modifier(kShift, 0), false}},
                 {HotKeyCombo::rewrite, HotKeyCombo::rewrite}},
        Scenario{"LoneModifierDoesNotFireAfterAnotherKeyOrHotkey", {{HotKeyCombo::rewrite, kLoneOption}},
                 {{modifier(kOption, kOptionFlag), false}, {observedDown(kZ, kOptionFlag), false},
                  {modifier(kOption, 0), false}, {modifier(kOption, kOptionFlag), false},
                  {down(kQ, kOptionFlag), true}, {up(kQ, kOptionFlag), true}, {modifier(kOption, 0), false}},
                 {HotKeyCombo::transcribe}},
        Scenario{"LoneFnFiresOnItsCleanRelease", {{HotKeyCombo::agent, kLoneFn}},
                 {{modifier(kFunctionKey, kFnFlag), false}, {modifier(kFunctionKey, 0), true},
                  {modifier(kFunctionKey, kFnFlag), false}, {observedDown(kLeftArrow, kFnFlag), false},
                  {modifier(kFunctionKey, 0), false}},
                 {HotKeyCombo::agent}},
        Scenario{"TheProgramsOwnKeysPassAndStartNothing", {{HotKeyCombo::rewrite, kLoneOption}},
                 {{own(down(kQ, kOptionFlag)), false}, {own(up(kQ, kOptionFlag)), false},
                  {modifier(kOption, kOptionFlag), false}, {own(modifier(kOption, 0)), false}},
                 {}},
        Scenario{"MalformedLoneHotkeysNeverFire",
                 {{HotKeyCombo::agent, {kOptionFlag, -1, true}}, {HotKeyCombo::rewrite, {kOptionFlag | kShiftFlag, -1, false}}},
                 {{modifier(kFunctionKey, kFnFlag), false}, {modifier(kFunctionKey, 0), false},
                  {modifier(kOption, kOptionFlag), false}, {modifier(kOption, 0), false}},
                 {}}),
    [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; });

class HotKeys : public PipelineTest {
 protected:
  HotKeyManager& hotKeys = HotKeyManager::shared();
  FakeAccessibilityTrust trust;
  FakeMicrophoneAccess microphone{MicrophoneAccess::Authorization::authorized};
  FakeKeyboardTap tap;
};

TEST_F(HotKeys, TheHandlerIsReadWhenAPressIsDeliveredAndAStoppedListenerLetsKeysThrough) {
  QStringList seen;
  hotKeys.start([&](HotKeyCombo) { seen << QStringLiteral("first"); });
  EXPECT_TRUE(tap.press(down(kQ, kOptionFlag)));
  hotKeys.start([&](HotKeyCombo) { seen << QStringLiteral("second"); });
  QCoreApplication::processEvents();
  EXPECT_EQ(seen, QStringList{"second"});
  hotKeys.stop();
  EXPECT_FALSE(hotKeys.isListening());
  EXPECT_FALSE(tap.press(down(kQ, kOptionFlag)));
  QCoreApplication::processEvents();
  EXPECT_EQ(seen.size(), 1);
}

TEST_F(HotKeys, GrabsFollowTheSavedConfigurationsAndOnlyWhatAKeyDownCanMatch) {
  hotKeys.setConfig(HotKeyCombo::agent, kLoneOption);
  QList<HotKeyCombo> delivered;
  hotKeys.start([&](HotKeyCombo combo) { delivered.append(combo); });
  EXPECT_EQ(tap.grabs, (QList<KeyGrab>{{kQ, kOptionFlag, false}, {kE, kOptionFlag, false}})) << "lone modifiers are observed";
  hotKeys.setConfig(HotKeyCombo::transcribe, {kControlFlag | kFnFlag, kZ, false});
  EXPECT_EQ(tap.grabs.first(), (KeyGrab{kQ, kOptionFlag, false})) << "an edit counts only when saved";
  hotKeys.saveConfigs();
  EXPECT_EQ(tap.grabs, (QList<KeyGrab>{{kZ, kControlFlag, false}, {kE, kOptionFlag, false}}));
  EXPECT_FALSE(tap.press(down(kQ, kOptionFlag)));
  EXPECT_TRUE(tap.press(down(kZ, kControlFlag)));

  // The account store reloads at sign-in: that account's hotkeys apply, the listener runs on.
  AuthStore::shared().setEmail(QStringLiteral("ann@example.com"));
  hotKeys.loadConfigs();
  EXPECT_EQ(tap.grabs.size(), 3);
  EXPECT_TRUE(hotKeys.isListening());
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered, QList<HotKeyCombo>{HotKeyCombo::transcribe});

  // Ctrl with the Alt key itself, no valid mask, lone Fn: nothing to grab, and nothing fires.
  hotKeys.setConfig(HotKeyCombo::transcribe, {kControlFlag, kOption, false});
  hotKeys.setConfig(HotKeyCombo::rewrite, {-1, kE, false});
  hotKeys.setConfig(HotKeyCombo::agent, kLoneFn);
  hotKeys.saveConfigs();
  EXPECT_TRUE(tap.grabs.isEmpty());
  EXPECT_FALSE(tap.press(modifier(kControlKey, kControlFlag)));
  EXPECT_FALSE(tap.press(modifier(kOption, kControlFlag | kOptionFlag)));
  EXPECT_FALSE(tap.press(modifier(kOption, kControlFlag)));
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered.size(), 1);
}

// Another application holding a combination costs that combination alone; the
// user is told at the start and after a save, not at each restart.
TEST_F(HotKeys, ACombinationAnotherApplicationHoldsCostsOnlyItself) {
  RecordingOverlayPresenter panels;
  const QString tip = QStringLiteral("tip ") + currentStrings().hotkeyHeldElsewhereTip;
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

TEST_F(HotKeys, LoadingGivesTheStoredHotkeysAndDefaultsForTheRest) {
  const char* allThree = R"({"transcribe":{"modifiers":262144,"keyCode":15,"requiresFn":false},)"
                         R"("rewrite":{"modifiers":262144,"keyCode":17,"requiresFn":false},)"
                         R"("agent":{"modifiers":1048576,"keyCode":16,"requiresFn":false}})";
  const HotKeyConfigMap onlyRewrite{{HotKeyCombo::transcribe, kAltQ}, {HotKeyCombo::rewrite, kCtrlT}, {HotKeyCombo::agent, kAltW}};
  const struct {
    const char* name;
    std::optional<qint64> version;  // "hotkey_defaults_version" before
    const char* stored;
    QStringList customized;
    HotKeyConfigMap expected;
  } rows[] = {
      {"nothing stored", std::nullopt, nullptr, {}, kDefaults},
      {"migrated: used as it is", 2, allThree, {},
       {{HotKeyCombo::transcribe, kCtrlR}, {HotKeyCombo::rewrite, kCtrlT}, {HotKeyCombo::agent, kSuperY}}},
      {"migration keeps only the customized", 1, allThree, {"rewrite"}, onlyRewrite},
      {"migration without a version", std::nullopt, allThree, {"agent", "bogus"},
       {{HotKeyCombo::transcribe, kAltQ}, {HotKeyCombo::rewrite, kAltE}, {HotKeyCombo::agent, kSuperY}}},
      {"a member lacking requiresFn spoils the document", 2,
       R"({"transcribe":{"modifiers":262144,"keyCode":15},"rewrite":{"modifiers":262144,"keyCode":17,"requiresFn":false}})",
       {}, kDefaults},
      {"unknown member dropped, negative modifiers get the default", 2,
       R"({"dictate":{"modifiers":0,"keyCode":1,"requiresFn":false},"transcribe":{"modifiers":-1,"keyCode":15,"requiresFn":false},)"
       R"("rewrite":{"modifiers":262144,"keyCode":17,"requiresFn":false}})",
       {}, onlyRewrite},
      {"lone modifier and lone Fn are kept", 2,
       R"({"transcribe":{"modifiers":524288,"keyCode":-1,"requiresFn":false},"agent":{"modifiers":0,"keyCode":-1,"requiresFn":true}})",
       {}, {{HotKeyCombo::transcribe, kLoneOption}, {HotKeyCombo::rewrite, kAltE}, {HotKeyCombo::agent, kLoneFn}}},
  };
  UserDefaults& defaults = UserDefaults::shared();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    for (const QString& key : defaults.keys()) defaults.remove(key);
    if (row.version) defaults.setInteger(HotKeyStorage::kDefaultsVersionKey, *row.version);
    if (row.stored) defaults.setBytes(HotKeyStorage::configsKey(), row.stored);
    if (!row.customized.isEmpty()) defaults.setStringList(HotKeyStorage::customizedKey(), row.customized);
    hotKeys.loadConfigs();
    EXPECT_EQ(hotKeys.configs(), row.expected);
    EXPECT_EQ(defaults.integer(HotKeyStorage::kDefaultsVersionKey), 2);
    if (row.stored) {
      EXPECT_EQ(defaults.bytes(HotKeyStorage::configsKey()), QByteArray(row.stored)) << "never rewritten";
    }
  }
}

TEST_F(HotKeys, SettingsPageEditsPersistPerAccountWhateverTheCaseOfItsEmail) {
  AuthStore& account = AuthStore::shared();
  EXPECT_EQ(HotKeyStorage::configsKey(), QStringLiteral("hotkey_configs_1393e42b854e188e"));  // "anonymous"
  EXPECT_EQ(HotKeyStorage::accountHash(QStringLiteral("anonymous")), HotKeyStorage::accountHash(std::nullopt));
  account.setEmail(QStringLiteral("ann@example.com"));
  hotKeys.loadConfigs();
  hotKeys.setConfig(HotKeyCombo::transcribe, kCtrlR);
  hotKeys.markCustomized(HotKeyCombo::transcribe);
  hotKeys.removeConfig(HotKeyCombo::agent);
  hotKeys.saveConfigs();
  EXPECT_EQ(hotKeys.hotKeyConfigsKey(), QStringLiteral("hotkey_configs_140369096a6caa05"));
  const QByteArray stored = UserDefaults::shared().bytes(hotKeys.hotKeyConfigsKey()).value_or(QByteArray());
  EXPECT_FALSE(stored.contains(' ')) << "compact JSON";
  const QJsonObject object = QJsonDocument::fromJson(stored).object();
  EXPECT_EQ(object.keys(), (QStringList{"rewrite", "transcribe"}));
  EXPECT_EQ(object.value("transcribe").toObject(), (QJsonObject{{"modifiers", 0x40000}, {"keyCode", 15}, {"requiresFn", false}}));

  account.setEmail(QStringLiteral("bob@example.com"));
  hotKeys.loadConfigs();
  EXPECT_EQ(hotKeys.configs(), kDefaults);
  EXPECT_TRUE(hotKeys.customizedCombos().isEmpty());
  account.setEmail(QStringLiteral("ANN@Example.com"));
  hotKeys.loadConfigs();
  EXPECT_EQ(hotKeys.configs(), (HotKeyConfigMap{{HotKeyCombo::transcribe, kCtrlR}, {HotKeyCombo::rewrite, kAltE},
                                                {HotKeyCombo::agent, kAltW}}));
  EXPECT_EQ(hotKeys.customizedCombos(), QSet<HotKeyCombo>{HotKeyCombo::transcribe});
}

// A refused grab and a listener that could not start show nothing on screen:
// the trace is what support reads.
TEST_F(HotKeys, RefusedGrabsAndAFailedStartAreTraced) {
  tap.held = {{kW, kOptionFlag, false}};
  hotKeys.start({});
  tap.refuse = true;
  hotKeys.start({});
  const QStringList lines = traceLines();
  EXPECT_TRUE(lines.contains("HotKey: grab refused combo=agent, keys=Alt+W")) << lines.join('\n').toStdString();
  EXPECT_TRUE(lines.contains("HotKey: defaultTap install failed"));
}

// refresh() starts the listener when trust is there and it is not running or
// has just appeared, and stops it when trust was lost while it ran.
TEST_F(HotKeys, RefreshSwitchesTheListenerWithTheDesktopsTrust) {
  const struct {
    const char* name;
    bool trustedBefore, listening, trustedNow;
    int starts, stops;
    bool listeningAfter;
  } rows[] = {
      {"trust unchanged and running", true, true, true, 0, 0, true},
      {"trusted but not running", true, false, true, 1, 0, true},
      {"trust just granted restarts", false, true, true, 1, 1, true},
      {"trust withdrawn while running", true, true, false, 0, 1, false},
      {"trust withdrawn while stopped", true, false, false, 0, 0, false},
      {"still untrusted leaves a running listener", false, true, false, 0, 0, true},
  };
  PermissionManager& permissions = PermissionManager::shared();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    trust.trusted = row.trustedBefore;
    permissions.checkAccessibilityQuietly();
    hotKeys.stop();
    if (row.listening) hotKeys.start({});
    const int starts = tap.starts, stops = tap.stops;
    trust.trusted = row.trustedNow;
    permissions.refresh();
    EXPECT_EQ(permissions.accessibilityStatus(), row.trustedNow ? PermissionStatus::granted : PermissionStatus::denied);
    EXPECT_EQ(tap.starts - starts, row.starts);
    EXPECT_EQ(tap.stops - stops, row.stops);
    EXPECT_EQ(hotKeys.isListening(), row.listeningAfter);
  }
  // A press the listener catches reaches the request flow through the signal.
  trust.trusted = true;
  permissions.refresh();
  QSignalSpy presses(&permissions, &PermissionManager::hotKeyPressed);
  EXPECT_TRUE(tap.press(down(kE, kOptionFlag)));
  ASSERT_TRUE(presses.wait(1000));
  EXPECT_EQ(presses.takeFirst().at(0).value<HotKeyCombo>(), HotKeyCombo::rewrite);
}

TEST_F(HotKeys, TheMicrophoneIsAskedForOnlyOnRequestAndDecidesAllGranted) {
  using A = MicrophoneAccess::Authorization;
  PermissionManager& permissions = PermissionManager::shared();
  const std::pair<A, PermissionStatus> rows[] = {{A::notDetermined, PermissionStatus::notDetermined},
                                                 {A::restricted, PermissionStatus::denied},
                                                 {A::denied, PermissionStatus::denied},
                                                 {A::authorized, PermissionStatus::granted}};
  for (const auto& [authorization, status] : rows) {
    microphone.status = authorization;
    permissions.refresh();
    EXPECT_EQ(permissions.microphoneStatus(), status);
    EXPECT_EQ(permissions.allGranted(), status == PermissionStatus::granted);
  }
  trust.trusted = false;
  permissions.refresh();
  EXPECT_FALSE(permissions.allGranted());
  EXPECT_EQ(microphone.requests, 0) << "refresh never asks";

  const int starts = tap.starts;
  microphone.grantOnRequest = false;
  awaitTask(permissions.requestMicrophone());
  EXPECT_EQ(permissions.microphoneStatus(), PermissionStatus::denied);
  microphone.grantOnRequest = true;
  awaitTask(permissions.requestMicrophone());
  EXPECT_EQ(permissions.microphoneStatus(), PermissionStatus::granted);
  EXPECT_EQ(microphone.requests, 2);
  EXPECT_EQ(tap.starts, starts) << "the listener is not touched";
}

TEST_F(HotKeys, MissingTrustIsExplainedOnlyWhenAskedAndOnce) {
  trust.trusted = false;
  const int starts = tap.starts;
  PermissionManager& permissions = PermissionManager::shared();
  permissions.checkAccessibilityQuietly();
  EXPECT_EQ(PermissionHelpDialog::current(), nullptr);
  permissions.requestAccessibility();
  permissions.requestAccessibility();
  ASSERT_NE(PermissionHelpDialog::current(), nullptr);
  EXPECT_TRUE(PermissionHelpDialog::current()->isVisible());
  EXPECT_TRUE(PermissionHelpDialog::current()->text().contains(trust.missingReason()));
  trust.trusted = true;
  permissions.requestAccessibility();
  EXPECT_EQ(permissions.accessibilityStatus(), PermissionStatus::granted);
  EXPECT_EQ(tap.starts, starts) << "checking never starts the listener";

  // The program becoming active refreshes, which starts the listener.
  QWidget window;
  window.show();
  window.activateWindow();
  EXPECT_TRUE(waitUntil([&] { return hotKeys.isListening(); }));
}

}  // namespace
