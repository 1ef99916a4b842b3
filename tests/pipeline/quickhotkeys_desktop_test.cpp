// Hotkeys tapped quickly in Kate, a Qt program with a menu bar. Qt opens the
// menu bar for the keyboard when Alt goes down and up with no other key seen
// in between (a second such tap closes it again), and the listener's grab
// hides the hotkey's key from Kate: after a request with one quick tap among
// its two presses the menu bar would hold the keyboard, and what the user
// types next would be lost in it. Kate must see a key while Alt is down.
#include "officeeditor.h"
#include "desktopflow.h"
#include "testmicrophone.h"

using namespace std::chrono_literals;

namespace {

class QuickHotKeysInKate : public DesktopFlow {
 protected:
  // Each key a few milliseconds after the other (xdotool's own pace).
  static bool tapDictate() { return TestKeyboard::run({"keydown", "alt", "keydown", "q", "keyup", "q", "keyup", "alt"}); }
  static bool tapRewrite() { return TestKeyboard::run({"keydown", "alt", "keydown", "e", "keyup", "e", "keyup", "alt"}); }
  // The key held long enough for Kate to notice the grab on its own.
  static bool holdRewrite() {
    return TestKeyboard::run({"keydown", "alt", "keydown", "e", "sleep", "0.3", "keyup", "e", "keyup", "alt"});
  }

  static bool documentBecomes(const OfficeEditor& editor, const QString& text) {
    const bool became = waitUntil([&] { return editor.documentText() == text; }, 10s);
    if (!became) ADD_FAILURE() << editor.documentText().value_or(QStringLiteral("(unreadable)")).toStdString();
    return became;
  }
};

TEST_F(QuickHotKeysInKate, AfterARequestTheUsersNextKeysLandInTheDocument) {
  OfficeEditor kate(OfficeEditor::Kind::kate);
  ASSERT_TRUE(kate.open(QStringLiteral("alpha beta gamma")));
  answerNext("transcribe", "paste", "delta");
  answerNext("rewrite", "paste", "bold");
  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(440, 1000ms, 0.5), true));

  // A dictation started with a tap and stopped with a chord.
  ASSERT_TRUE(TestKeyboard::run({"key", "ctrl+End", "type", " "}));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&tapDictate, 6, {}, &pressDictate));
  ASSERT_TRUE(documentBecomes(kate, QStringLiteral("alpha beta gamma delta")));
  ASSERT_TRUE(TestKeyboard::run({"type", "!"}));
  ASSERT_TRUE(documentBecomes(kate, QStringLiteral("alpha beta gamma delta!")));

  // A rewrite started with a tap and stopped with a held key.
  ASSERT_TRUE(TestKeyboard::selectWithKeys(6, 4));
  ASSERT_TRUE(waitUntil([&] { return kate.shown().value_or(OfficeEditor::Shown{}).selection == u"6-10"; }, 10s));
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&tapRewrite, 6, {}, &holdRewrite));
  microphone.stop();
  ASSERT_TRUE(documentBecomes(kate, QStringLiteral("alpha bold gamma delta!")));
  ASSERT_TRUE(TestKeyboard::run({"key", "End", "type", "?"}));
  EXPECT_TRUE(documentBecomes(kate, QStringLiteral("alpha bold gamma delta!?")));
}

}  // namespace
