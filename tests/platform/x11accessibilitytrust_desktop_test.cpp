#include "platform/x11/x11accessibilitytrust.h"

#include "testenvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(X11AccessibilityTrust, TestDesktopDisplayIsTrusted) {
  REQUIRE_TEST_DESKTOP();
  X11AccessibilityTrust trust;
  EXPECT_TRUE(trust.isTrusted()) << trust.missingReason().toStdString();
  EXPECT_TRUE(trust.missingReason().isEmpty());
}

TEST(X11AccessibilityTrust, NoDisplayIsNotTrustedAndSaysWhy) {
  X11AccessibilityTrust unreachable(":987");
  EXPECT_FALSE(unreachable.isTrusted());
  EXPECT_FALSE(unreachable.missingReason().isEmpty());
}

TEST(AccessibilityTrust, NobodyIsTrustedUntilAnImplementationIsInstalled) {
  EXPECT_FALSE(AccessibilityTrust::current().isTrusted());
  X11AccessibilityTrust unreachable(":987");
  AccessibilityTrust::install(&unreachable);
  EXPECT_EQ(&AccessibilityTrust::current(), &unreachable);
  AccessibilityTrust::install(nullptr);
}

}  // namespace
