// The display's input extensions and the microphone: usable on the test desktop, refused without.
#include "platform/linux/qtmicrophoneaccess.h"
#include "platform/x11/x11accessibilitytrust.h"
#include "awaittask.h"
#include "freshprocess.h"
#include "testenvironment.h"
#include <gtest/gtest.h>

namespace {

TEST(DesktopAccess, TheTestDesktopsDisplayAndMicrophoneAreUsable) {
  REQUIRE_TEST_DESKTOP();
  X11AccessibilityTrust trust;
  EXPECT_TRUE(trust.isTrusted() && trust.missingReason().isEmpty()) << trust.missingReason().toStdString();
  QtMicrophoneAccess access;
  EXPECT_EQ(access.authorizationStatus(), MicrophoneAccess::Authorization::authorized);
  EXPECT_TRUE(awaitTask(access.requestAccess()));
}

TEST(DesktopAccess, WithoutADisplayOrASoundServerAccessIsRefusedAndSaysWhy) {
  X11AccessibilityTrust unreachable(":987");
  EXPECT_FALSE(unreachable.isTrusted());
  EXPECT_FALSE(unreachable.missingReason().isEmpty());
  EXPECT_FALSE(AccessibilityTrust::current().isTrusted());  // nobody until one is installed
  IN_FRESH_PROCESS({
    qputenv("PULSE_SERVER", "unix:/nonexistent/veltrine/native");
    QtMicrophoneAccess access;
    EXPECT_EQ(access.authorizationStatus(), MicrophoneAccess::Authorization::denied);
    EXPECT_FALSE(awaitTask(access.requestAccess()));
  });
}

}  // namespace
