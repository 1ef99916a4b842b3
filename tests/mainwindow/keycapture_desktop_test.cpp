// Recording a hotkey on the test desktop's real keyboard, typed through XTEST
// while another application is in front.
#include "mainwindow/keycaptureview.h"
#include "mainwindow/settingsview.h"

#include "awaittask.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionmanager.h"
#include "platform/virtualkeycodes.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "mainwindow/hotkeyrow.h"
#include "mainwindow/textlabel.h"
#include "localization/appstrings.h"
#include "platform/x11/x11keyboardtap.h"
#include "platform/x11/x11synthetickeyboard.h"
#include "recordingoverlaypresenter.h"
#include "service/authstore.h"
#include "testenvironment.h"
#include "testkeygrabber.h"
#include "testkeyboard.h"
#include "testwindow.h"

#include <gtest/gtest.h>

namespace {

using namespace VirtualKeyCodes;

constexpr quint16 kK = 40, kJ = 38;

class KeyCaptureOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    KeyboardTap::install(&listenerTap_);
    AccessibilityTrust::install(&trust_);
    KeyCaptureView::installGlobalTap(&captureTap_);
    AuthStore::shared().setEmail(QStringLiteral("keys@example.com"));
    AuthStore::shared().setToken(QStringLiteral("token"));
    HotKeyManager::shared().loadConfigs();
    view_ = std::make_unique<SettingsView>();
    // Through the page: the connection ends with the fixture.
    QObject::connect(&PermissionManager::shared(), &PermissionManager::hotKeyPressed, view_.get(),
                     [this](HotKeyCombo combo) { pressed_.append(combo); });
    view_->show();  // refreshes the permissions, which start the listener
    ASSERT_TRUE(HotKeyManager::shared().isListening());
    ASSERT_TRUE(window_.start()) << "the other application comes to the front";
  }

  void TearDown() override {
    view_.reset();
    // The recorded hotkeys are kept for the account: the next test starts from the defaults.
    for (HotKeyCombo combo : allHotKeyCombos()) HotKeyManager::shared().removeConfig(combo);
    HotKeyManager::shared().stop();
    KeyCaptureView::installGlobalTap(nullptr);
    KeyboardTap::install(nullptr);
    AccessibilityTrust::install(nullptr);
  }

  // Records a new hotkey for `combo` from what is typed.
  std::optional<HotKeyConfig> record(HotKeyCombo combo, const QStringList& typing) {
    view_->toggleRecording(combo);
    EXPECT_TRUE(view_->keyCapture()->capturesGlobally());
    EXPECT_TRUE(HotKeyManager::shared().isListening()) << "the hotkeys keep working meanwhile";
    if (!TestKeyboard::run(typing)) return std::nullopt;
    if (!waitUntil([&] { return !view_->recordingCombo(); })) return std::nullopt;
    return HotKeyManager::shared().configs().value(combo);
  }

  X11KeyboardTap listenerTap_;
  X11KeyboardTap captureTap_;
  X11AccessibilityTrust trust_;
  TestWindow window_;
  std::unique_ptr<SettingsView> view_;
  QList<HotKeyCombo> pressed_;
};

TEST_F(KeyCaptureOnX11, AKeyWithModifiersTypedInAnotherApplicationBecomesTheHotkey) {
  const auto recorded =
      record(HotKeyCombo::agent, {"keydown", "ctrl", "keydown", "shift", "key", "k", "keyup", "shift", "keyup", "ctrl"});
  ASSERT_TRUE(recorded);
  EXPECT_EQ(*recorded, (HotKeyConfig{qint64(kControlFlag | kShiftFlag), kK, false}));
  ASSERT_TRUE(HotKeyManager::shared().isListening());

  // The listener took it at once.
  ASSERT_TRUE(TestKeyboard::run({"keydown", "ctrl", "keydown", "shift", "key", "k", "keyup", "shift", "keyup", "ctrl"}));
  EXPECT_TRUE(waitUntil([&] { return pressed_.contains(HotKeyCombo::agent); }));
}

TEST_F(KeyCaptureOnX11, AHotkeyInUseStartsItsOperationAndIsNotRecorded) {
  const HotKeyConfigMap before = HotKeyManager::shared().configs();
  view_->toggleRecording(HotKeyCombo::rewrite);
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "key", "q", "keyup", "alt"}));
  EXPECT_TRUE(waitUntil([&] { return pressed_.contains(HotKeyCombo::transcribe); }));
  EXPECT_EQ(view_->recordingCombo(), HotKeyCombo::rewrite) << "the combination never reached the field";

  ASSERT_TRUE(TestKeyboard::run({"key", "Escape"}));
  ASSERT_TRUE(waitUntil([&] { return !view_->recordingCombo(); }));
  EXPECT_EQ(HotKeyManager::shared().configs(), before);
}

TEST_F(KeyCaptureOnX11, ALoneModifierAndEscape) {
  // The left key: for a right-hand modifier xdotool holds the left one too,
  // which no keyboard does.
  const auto lone = record(HotKeyCombo::transcribe, {"keydown", "alt", "keyup", "alt"});
  ASSERT_TRUE(lone);
  EXPECT_EQ(*lone, (HotKeyConfig{qint64(kOptionFlag), -1, false}));

  const HotKeyConfigMap before = HotKeyManager::shared().configs();
  view_->toggleRecording(HotKeyCombo::agent);
  ASSERT_TRUE(TestKeyboard::run({"key", "Escape"}));
  ASSERT_TRUE(waitUntil([&] { return !view_->recordingCombo(); }));
  EXPECT_EQ(HotKeyManager::shared().configs(), before);
  EXPECT_TRUE(HotKeyManager::shared().isListening());
}

// A dictation that finishes while a row waits for its new combination types
// the program's copy and paste keys; they reach the application, never the
// recording. The user's keys come through the same XTEST device (xdotool), so
// only where they come from tells them apart.
TEST_F(KeyCaptureOnX11, OnlyWhatTheUserPressesIsRecorded) {
  X11SyntheticKeyboard keyboard;
  view_->toggleRecording(HotKeyCombo::rewrite);
  ASSERT_TRUE(view_->keyCapture()->capturesGlobally());
  ASSERT_TRUE(keyboard.typeChord({KeyChord::Key::v, true}));   // paste into a terminal
  ASSERT_TRUE(keyboard.typeChord({KeyChord::Key::c, false}));  // the paste check
  ASSERT_TRUE(window_.waitForLine(QStringLiteral("key release 99 54"))) << "the copy reached the application";
  ASSERT_TRUE(TestKeyboard::run({"keydown", "ctrl", "keydown", "shift", "key", "k", "keyup", "shift", "keyup", "ctrl"}));
  ASSERT_TRUE(waitUntil([&] { return !view_->recordingCombo(); }));
  EXPECT_EQ(HotKeyManager::shared().configs().value(HotKeyCombo::rewrite),
            (HotKeyConfig{qint64(kControlFlag | kShiftFlag), kK, false}));
}

// Recording a combination another program holds costs that one alone: the
// row says so, the other hotkeys work, and a new combination mends it.
TEST_F(KeyCaptureOnX11, ARowWhoseCombinationAnotherProgramHoldsSaysSoUntilANewOneIsRecorded) {
  RecordingOverlayPresenter panels;
  TestKeyGrabber other;
  ASSERT_TRUE(other.grab({"ctrl", "shift", "k"}));
  // The rows that say on screen that another program holds their combination.
  const auto rowsHeld = [&] {
    QList<HotKeyCombo> held;
    for (const HotKeyRow* row : view_->findChildren<HotKeyRow*>()) {
      const TextLabel* label = row->heldLabel();
      if (label->isVisible() && label->text() == currentStrings().hotkeyHeldElsewhere) held.append(row->combo());
    }
    return held;
  };
  ASSERT_TRUE(record(HotKeyCombo::agent,
                     {"keydown", "ctrl", "keydown", "shift", "key", "k", "keyup", "shift", "keyup", "ctrl"}));
  EXPECT_TRUE(HotKeyManager::shared().isListening());
  EXPECT_EQ(rowsHeld(), QList<HotKeyCombo>{HotKeyCombo::agent});
  EXPECT_EQ(panels.calls, QStringList{"tip " + currentStrings().hotkeyHeldElsewhereTip.arg("Ctrl+Shift+K")});
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "key", "q", "keyup", "alt"}));
  EXPECT_TRUE(waitUntil([&] { return pressed_.contains(HotKeyCombo::transcribe); }));

  ASSERT_TRUE(record(HotKeyCombo::agent,
                     {"keydown", "ctrl", "keydown", "shift", "key", "j", "keyup", "shift", "keyup", "ctrl"}));
  EXPECT_TRUE(rowsHeld().isEmpty());
  ASSERT_TRUE(TestKeyboard::run({"keydown", "ctrl", "keydown", "shift", "key", "j", "keyup", "shift", "keyup", "ctrl"}));
  EXPECT_TRUE(waitUntil([&] { return pressed_.contains(HotKeyCombo::agent); }));
  EXPECT_EQ(HotKeyManager::shared().configs().value(HotKeyCombo::agent),
            (HotKeyConfig{qint64(kControlFlag | kShiftFlag), kJ, false}));
}

}  // namespace
