// The listener on the real X11 keyboard of the test desktop, with another
// application (the test window) in front, typed on through XTEST.
#include "pipeline/hotkeymanager.h"

#include "awaittask.h"
#include "pipelinestate.h"
#include "printing.h"
#include "platform/virtualkeycodes.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "platform/x11/x11keyboardtap.h"
#include "platform/x11/x11synthetickeyboard.h"
#include "testenvironment.h"
#include "testkeygrabber.h"
#include "testkeyboard.h"
#include "testwindow.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using namespace VirtualKeyCodes;

constexpr int kXKeycodeQ = 24, kXKeycodeE = 26, kXKeycodeZ = 52, kXKeycodeAltL = 64, kXKeycodeSuperL = 133;
constexpr quint16 kZ = 6;

class HotKeyListenerOnX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    resetPipelineState();
    KeyboardTap::install(&tap_);
    AccessibilityTrust::install(&trust_);
    ASSERT_TRUE(window_.start());
  }
  void TearDown() override {
    HotKeyManager::shared().stop();
    KeyboardTap::install(nullptr);
    AccessibilityTrust::install(nullptr);
    resetPipelineState();
  }

  void startListening() {
    HotKeyManager::shared().start([this](HotKeyCombo combo) { delivered_.append(combo); });
    ASSERT_TRUE(HotKeyManager::shared().isListening());
  }

  // Types `z`, which nobody grabs, and waits until the window has it: every
  // key typed before has then reached whoever it went to.
  void syncWindow() {
    ASSERT_TRUE(TestKeyboard::run({"key", "z"}));
    ASSERT_TRUE(window_.waitForLine(QStringLiteral("key release 122 %1").arg(kXKeycodeZ)));
  }

  // Presses Alt+E (rewrite) and waits for it: every hotkey before it has then
  // been delivered.
  void syncListener() {
    const qsizetype before = delivered_.count(HotKeyCombo::rewrite);
    ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "key", "e", "keyup", "alt"}));
    ASSERT_TRUE(waitUntil([&] { return delivered_.count(HotKeyCombo::rewrite) > before; }));
    delivered_.removeLast();
  }

  // The key events of one X keycode that reached the window.
  QStringList windowKeys(int keycode) const {
    const QRegularExpression pattern(QStringLiteral("^key (press|release) \\d+ %1$").arg(keycode));
    QStringList keys;
    for (const QString& line : window_.lines()) {
      if (pattern.match(line).hasMatch()) keys << line.section(QLatin1Char(' '), 0, 1);
    }
    return keys;
  }

  // Whether the window saw another key go down while the modifier of that X
  // keycode was down, each time it was down.
  bool sawAKeyWhileHeld(int modifierKeycode) const {
    const QRegularExpression key(QStringLiteral("^key (press|release) \\d+ (\\d+)$"));
    int holds = 0, masked = 0;
    bool held = false, seen = false;
    for (const QString& line : window_.lines()) {
      const QRegularExpressionMatch match = key.match(line);
      if (!match.hasMatch()) continue;
      const bool press = match.captured(1) == u"press";
      if (match.captured(2).toInt() != modifierKeycode) {
        seen = seen || (held && press);
      } else if (press && !held) {
        held = true;
        seen = false;
        ++holds;
      } else if (!press && held) {
        held = false;
        if (seen) ++masked;
      }
    }
    return holds > 0 && masked == holds;
  }

  X11KeyboardTap tap_;
  X11AccessibilityTrust trust_;
  TestWindow window_;
  QList<HotKeyCombo> delivered_;
};

TEST_F(HotKeyListenerOnX11, AltQIsDeliveredOnceAndTheFrontApplicationNeverSeesQ) {
  startListening();
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "keydown", "q", "keyup", "q", "keyup", "alt"}));
  syncListener();
  syncWindow();
  EXPECT_EQ(delivered_, QList<HotKeyCombo>{HotKeyCombo::transcribe});
  EXPECT_TRUE(windowKeys(kXKeycodeQ).isEmpty()) << window_.lines().join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(windowKeys(kXKeycodeE).isEmpty());
}

// However fast the keys come, the window sees a key while Alt (or Super) is
// down: a Qt menu bar would otherwise take the keyboard. That key types
// nothing, and starts nothing here.
TEST_F(HotKeyListenerOnX11, AHotkeyTappedAtOnceShowsTheWindowAKeyWhileItsModifierIsDown) {
  HotKeyManager& hotKeys = HotKeyManager::shared();
  hotKeys.setConfig(HotKeyCombo::agent, {kCommandFlag, kZ, false});
  startListening();
  ASSERT_TRUE(TestKeyboard::run({"keydown", "--delay", "0", "alt", "keydown", "--delay", "0", "q", "keyup", "--delay",
                                 "0", "q", "keyup", "--delay", "0", "alt"}));
  ASSERT_TRUE(TestKeyboard::run({"keydown", "--delay", "0", "super", "keydown", "--delay", "0", "z", "keyup", "--delay",
                                 "0", "z", "keyup", "--delay", "0", "super"}));
  syncListener();
  syncWindow();
  EXPECT_EQ(delivered_, (QList<HotKeyCombo>{HotKeyCombo::transcribe, HotKeyCombo::agent}));
  const QString lines = window_.lines().join(QLatin1Char('\n'));
  EXPECT_TRUE(sawAKeyWhileHeld(kXKeycodeAltL)) << lines.toStdString();
  EXPECT_TRUE(sawAKeyWhileHeld(kXKeycodeSuperL)) << lines.toStdString();
  ASSERT_TRUE(window_.command(QStringLiteral("state")));
  EXPECT_TRUE(window_.lines().contains(QStringLiteral("text z"))) << lines.toStdString();
}

TEST_F(HotKeyListenerOnX11, LoneAltFiresOnACleanReleaseOnly) {
  HotKeyManager& hotKeys = HotKeyManager::shared();
  hotKeys.setConfig(HotKeyCombo::agent, {kOptionFlag, -1, false});
  startListening();
  // Alt+Q is a hotkey of its own: letting Alt go afterwards is no lone Alt.
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "key", "q", "keyup", "alt"}));
  ASSERT_TRUE(TestKeyboard::run({"keydown", "Alt_R", "keyup", "Alt_R"}));
  ASSERT_TRUE(waitUntil([&] { return delivered_.contains(HotKeyCombo::agent); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered_, (QList<HotKeyCombo>{HotKeyCombo::transcribe, HotKeyCombo::agent}));
}

TEST_F(HotKeyListenerOnX11, ACombinationAnotherProgramHoldsCostsOnlyThatOne) {
  TestKeyGrabber other;
  ASSERT_TRUE(other.grab({"alt", "w"}));
  startListening();
  HotKeyManager& hotKeys = HotKeyManager::shared();
  EXPECT_EQ(hotKeys.refusedCombos(), QList<HotKeyCombo>{HotKeyCombo::agent});
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "key", "q", "key", "w", "keyup", "alt"}));
  syncListener();
  EXPECT_EQ(delivered_, QList<HotKeyCombo>{HotKeyCombo::transcribe});

  // A free combination for that operation works at once.
  hotKeys.setConfig(HotKeyCombo::agent, {kOptionFlag, kZ, false});
  hotKeys.saveConfigs();
  EXPECT_TRUE(hotKeys.refusedCombos().isEmpty());
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "key", "z", "keyup", "alt"}));
  syncListener();
  EXPECT_EQ(delivered_, (QList<HotKeyCombo>{HotKeyCombo::transcribe, HotKeyCombo::agent}));
}

TEST_F(HotKeyListenerOnX11, TheProgramsOwnKeysStartNothing) {
  HotKeyManager::shared().setConfig(HotKeyCombo::agent, {kOptionFlag, -1, false});
  startListening();
  // The user still holds Alt when the program copies at the start of a
  // recording: the copy lets Alt go first, which is no lone Alt of the user's.
  X11SyntheticKeyboard keyboard;
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt"}));
  ASSERT_TRUE(keyboard.typeChord(KeyChord::controlInsert()));
  syncListener();
  EXPECT_TRUE(delivered_.isEmpty()) << delivered_.size();
}

}  // namespace
