#include "testenvironment.h"
#include "testkeyboard.h"
#include "testwindow.h"

#include <gtest/gtest.h>

namespace {

TEST(TestWindow, TakesCommandsAndReportsWhatItReceives) {
  REQUIRE_TEST_DESKTOP();
  TestWindow window;
  ASSERT_TRUE(window.start());
  EXPECT_GT(window.processId(), 0);

  EXPECT_TRUE(window.command(QStringLiteral("text héllo wörld")));
  EXPECT_TRUE(window.lines().contains(QStringLiteral("text héllo wörld")));
  EXPECT_TRUE(window.command(QStringLiteral("select 1 5")));
  EXPECT_TRUE(window.command(QStringLiteral("state")));
  EXPECT_TRUE(window.lines().contains(QStringLiteral("selection 1 5")));
  EXPECT_FALSE(window.command(QStringLiteral("dance")));

  // Typing replaces the selection; the keys and the new text are reported.
  ASSERT_TRUE(TestKeyboard::run({"key", "x"}));
  EXPECT_TRUE(window.waitForLine(QStringLiteral("text hx wörld")));
  EXPECT_TRUE(window.lines().contains(QStringLiteral("key press 120 53")));
  EXPECT_TRUE(window.waitForLine(QStringLiteral("key release 120 53")));
}

}  // namespace
