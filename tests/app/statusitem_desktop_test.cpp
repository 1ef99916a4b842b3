#include "app/statusitem.h"

#include "awaittask.h"
#include "testenvironment.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace {

TEST(StatusItem, IconIsShownInTheDesktopsTray) {
  REQUIRE_TEST_DESKTOP();
  ASSERT_TRUE(waitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, std::chrono::seconds(5)));
  StatusItem item;
  item.show();
  // The tray host embeds the icon and gives it a place on screen.
  EXPECT_TRUE(waitUntil([&] { return item.trayIcon()->geometry().isValid(); }, std::chrono::seconds(5)));
  EXPECT_TRUE(item.trayIcon()->isVisible());
}

TEST(StatusItem, MenuOffersQuit) {
  StatusItem item;
  bool quit = false;
  QObject::connect(&item, &StatusItem::quitRequested, [&] { quit = true; });
  Q_EMIT item.menu()->aboutToShow();
  ASSERT_FALSE(item.menu()->actions().isEmpty());
  item.menu()->actions().last()->trigger();
  EXPECT_TRUE(quit);
}

}  // namespace
