#include "platform/linux/qtmicrophoneaccess.h"

#include "awaittask.h"
#include "freshprocess.h"
#include "testenvironment.h"

#include <gtest/gtest.h>

namespace {

using Authorization = MicrophoneAccess::Authorization;

TEST(QtMicrophoneAccess, TheTestDesktopMicrophoneOpens) {
  REQUIRE_TEST_DESKTOP();
  QtMicrophoneAccess access;
  EXPECT_EQ(access.authorizationStatus(), Authorization::authorized);
  EXPECT_TRUE(awaitTask(access.requestAccess()));
}

TEST(QtMicrophoneAccess, WithoutASoundServerAccessIsDenied) {
  IN_FRESH_PROCESS({
    qputenv("PULSE_SERVER", "unix:/nonexistent/veltrine/native");
    QtMicrophoneAccess access;
    EXPECT_EQ(access.authorizationStatus(), Authorization::denied);
    EXPECT_FALSE(awaitTask(access.requestAccess()));
  });
}

}  // namespace
