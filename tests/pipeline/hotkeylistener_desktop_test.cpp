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
#include "testkeywatcher.h"
#include "testwindow.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace VirtualKeyCodes;

using namespace std::chrono_literals;

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

// Stopping gives every combination back at once: Q then reaches the window.
TEST_F(HotKeyListenerOnX11, AfterStopAltQReachesTheFrontApplication) {
  startListening();
  HotKeyManager::shared().stop();
  ASSERT_TRUE(TestKeyboard::run({"keydown", "alt", "key", "q", "keyup", "alt"}));
  syncWindow();
  EXPECT_EQ(windowKeys(kXKeycodeQ), (QStringList{QStringLiteral("key press"), QStringLiteral("key release")}));
  QCoreApplication::processEvents();
  EXPECT_TRUE(delivered_.isEmpty());
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

// Nothing a user types waits for this program's main thread, which may be
// busy for seconds (a capture running to its time limits, a large panel being
// laid out): with it blocked for 2 s, the user presses Alt+Q and types on in
// the application in front. That application is shown the mask key while Alt
// is down, gets the next key at once, and never Q; the hotkey is delivered
// once when the main thread is back.
TEST_F(HotKeyListenerOnX11, TheKeyboardNeverWaitsForABusyMainThread) {
  TestKeyWatcher front;
  ASSERT_TRUE(front.start());
  startListening();
  std::chrono::steady_clock::time_point busyUntil;
  QMetaObject::invokeMethod(
      qApp,
      [&] {
        std::this_thread::sleep_for(2s);
        busyUntil = std::chrono::steady_clock::now();
      },
      Qt::QueuedConnection);
  // The user's keys, from another process, once the main thread is busy.
  QProcess user;
  user.start(QStringLiteral("xdotool"), {"sleep", "0.3", "keydown", "alt", "key", "q", "keyup", "alt", "key", "z"});
  ASSERT_TRUE(waitUntil([&] { return delivered_.contains(HotKeyCombo::transcribe); }, 10s));
  ASSERT_TRUE(user.state() == QProcess::NotRunning || user.waitForFinished(5000));
  ASSERT_EQ(user.exitCode(), 0);

  using Key = TestKeyWatcher::Key;
  ASSERT_TRUE(front.waitForKey([](const Key& key) { return key.press && key.keycode == kXKeycodeZ; }));
  const QList<Key> keys = front.keys();
  QStringList shown;
  for (const Key& key : keys) {
    shown << QStringLiteral("%1 %2%3 after %4 ms")
                 .arg(key.press ? "press" : "release")
                 .arg(key.keycode)
                 .arg(key.sent ? " (sent)" : "")
                 .arg(key.delayMs);
  }
  const std::string seen = shown.join(QLatin1Char('\n')).toStdString();
  const auto z = std::find_if(keys.begin(), keys.end(), [](const Key& key) { return key.press && key.keycode == kXKeycodeZ; });
  EXPECT_LE(z->delayMs, 100) << seen;
  EXPECT_LT(z->arrival, std::chrono::duration_cast<std::chrono::milliseconds>(busyUntil.time_since_epoch())) << seen;
  EXPECT_TRUE(std::none_of(keys.begin(), keys.end(), [](const Key& key) { return key.keycode == kXKeycodeQ; })) << seen;
  const auto altDown = std::find_if(keys.begin(), keys.end(), [](const Key& key) { return key.keycode == kXKeycodeAltL; });
  const auto altUp = std::find_if(altDown, keys.end(), [](const Key& key) { return !key.press; });
  EXPECT_TRUE(std::any_of(altDown, altUp, [](const Key& key) { return key.sent && key.press; })) << seen;

  syncListener();
  EXPECT_EQ(delivered_, QList<HotKeyCombo>{HotKeyCombo::transcribe});
}

}  // namespace
