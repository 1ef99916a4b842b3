// Which chord copies and pastes where, and that keys aimed at a process never
// reach another one.
#include "pipeline/commandkeys.h"

#include "fakefrontapplication.h"
#include "fakesynthetickeyboard.h"
#include "tracelines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::Contains;

namespace {

RunningApplication window(const QString& instance, const QString& windowClass) {
  return RunningApplication{100, windowClass, instance, windowClass};
}

TEST(CommandChord, TerminalsTakeShiftAndThoseWithoutAClipboardChordGetNone) {
  struct Case {
    const char* name;
    std::optional<RunningApplication> app;
    std::optional<bool> shift;  // nothing: no chord
  };
  const std::vector<Case> cases = {
      {"no front application", std::nullopt, false},
      {"an editor", window("gedit", "Gedit"), false},
      {"a browser", window("Navigator", "firefox-esr"), false},
      {"GNOME Terminal by its class", window("gnome-terminal-server", "Gnome-terminal"), true},
      {"Konsole", window("konsole", "konsole"), true},
      {"kitty", window("kitty", "kitty"), true},
      {"Alacritty, any case", window("Alacritty", "Alacritty"), true},
      {"xfce4-terminal", window("xfce4-terminal", "Xfce4-terminal"), true},
      {"a terminal known by its instance only", window("tilix", "SomethingElse"), true},
      {"xterm turns every Control chord into a control character", window("xterm", "XTerm"), std::nullopt},
      {"urxvt", window("urxvt", "URxvt"), std::nullopt},
      {"a name that merely contains 'term'", window("termpaper", "Termpaper"), false},
  };
  for (const Case& c : cases) {
    for (KeyChord::Key key : {KeyChord::Key::c, KeyChord::Key::v}) {
      const std::optional<KeyChord> chord = commandChord(key, c.app);
      ASSERT_EQ(chord.has_value(), c.shift.has_value()) << c.name;
      if (chord) {
        EXPECT_EQ(*chord, (KeyChord{key, *c.shift})) << c.name;
      }
    }
  }
}

TEST(CommandKeys, KeysAimedAtAProcessGoOutOnlyWhileItOwnsTheFocus) {
  FakeFrontApplication front{FakeFrontApplication::named(QStringLiteral("Gedit"), 4242)};
  FakeSyntheticKeyboard keyboard;
  clearTrace();

  EXPECT_TRUE(postCommandV(4242));
  EXPECT_TRUE(postCommandC(4242));
  EXPECT_FALSE(postCommandV(777));  // the user switched to another application
  EXPECT_FALSE(postCommandC(777));
  front.app.reset();
  EXPECT_FALSE(postCommandV(4242));  // focus on a window of no known process
  EXPECT_EQ(keyboard.chords, (QList<KeyChord>{{KeyChord::Key::v, false}, {KeyChord::Key::c, false}}));
  EXPECT_THAT(traceLines(), Contains(QStringLiteral("Cmd+V not sent: pid=777 does not own the focused window, front pid=4242")));
}

TEST(CommandKeys, WithoutAProcessPasteAimsAtTheFrontApplicationAndCopyAtWhateverHasTheFocus) {
  FakeFrontApplication front{window("kitty", "kitty")};
  FakeSyntheticKeyboard keyboard;

  EXPECT_TRUE(postCommandV(std::nullopt));
  EXPECT_TRUE(postCommandC(std::nullopt));
  front.app.reset();
  EXPECT_TRUE(postCommandV(std::nullopt));  // nobody in front: typed into whatever has the focus
  EXPECT_EQ(keyboard.chords,
            (QList<KeyChord>{{KeyChord::Key::v, true}, {KeyChord::Key::c, true}, {KeyChord::Key::v, false}}));

  front.app = window("xterm", "XTerm");
  keyboard.chords.clear();
  EXPECT_FALSE(postCommandC(std::nullopt));
  EXPECT_TRUE(keyboard.chords.isEmpty());
}

}  // namespace
