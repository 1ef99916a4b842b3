#include "app/appdelegate.h"
#include "app/statusitem.h"

#include "awaittask.h"
#include "fakeaccessibilitytrust.h"
#include "testenvironment.h"

#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace {

// The tray host embeds the icon and gives it a place on screen.
TEST(StatusItem, IconIsShownInTheTray) {
  REQUIRE_TEST_DESKTOP();
  ASSERT_TRUE(waitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }));
  FakeAccessibilityTrust trust;
  AppDelegate delegate;
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  ASSERT_NE(delegate.statusItem(), nullptr);
  EXPECT_TRUE(waitUntil([&] { return delegate.statusItem()->trayIcon()->geometry().isValid(); }));
  EXPECT_TRUE(delegate.statusItem()->trayIcon()->isVisible());
}

}  // namespace
