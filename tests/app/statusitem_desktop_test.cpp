#include "app/appdelegate.h"
#include "app/statusitem.h"

#include "awaittask.h"
#include "core/appevents.h"
#include "fakeaccessibilitytrust.h"
#include "testenvironment.h"

#include <QImage>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace {

// The tray host embeds the icon and gives it a place on screen; the icon then
// follows the recorder, back to the idle image when a recording ends.
TEST(StatusItem, IconIsShownInTheTrayAndFollowsTheRecorder) {
  REQUIRE_TEST_DESKTOP();
  ASSERT_TRUE(waitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, std::chrono::seconds(5)));
  FakeAccessibilityTrust trust;
  AppDelegate delegate;
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  StatusItem* item = delegate.statusItem();
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(waitUntil([&] { return item->trayIcon()->geometry().isValid(); }, std::chrono::seconds(5)));
  EXPECT_TRUE(item->trayIcon()->isVisible());

  const QImage idle = item->trayIcon()->icon().pixmap(22).toImage();
  Q_EMIT AppEvents::shared().audioRecorderStateChanged(true);
  EXPECT_TRUE(item->recordingIcon());
  const QImage recording = item->trayIcon()->icon().pixmap(22).toImage();
  EXPECT_NE(idle, recording);
  Q_EMIT AppEvents::shared().audioRecorderStateChanged(false);
  EXPECT_FALSE(item->recordingIcon());
  EXPECT_EQ(item->trayIcon()->icon().pixmap(22).toImage(), idle);
  EXPECT_TRUE(item->trayIcon()->isVisible());
}

}  // namespace
