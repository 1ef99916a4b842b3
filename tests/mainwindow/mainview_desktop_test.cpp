#include "mainwindow/mainview.h"

#include "mainwindow/sidebar.h"
#include "mainwindow/sidebaritem.h"
#include "mainwindowtest.h"
#include "screenshot.h"
#include "service/authstore.h"
#include "testenvironment.h"
#include "theme/palette.h"

namespace {

using MainViewOnScreen = MainWindowTest;

TEST_F(MainViewOnScreen, TheSidebarAndItsEdgeAreDrawn) {
  REQUIRE_TEST_DESKTOP();
  AuthStore::shared().setEmail(QStringLiteral("ada.lovelace@example.com"));
  AuthStore::shared().setTier(QStringLiteral("pro"));
  MainView view;
  const QImage shot = onScreen(view, QStringLiteral("mainview-home"));
  ASSERT_EQ(shot.size(), QSize(1120, 720));
  // The sidebar's deep background under the entries.
  EXPECT_TRUE(showsColour(shot.pixel(120, 400), Palette::cyberBgDeep, 6));
  // The selected entry's bar is cyan at the entry's leading edge.
  const QRect home = view.sidebar()->item(SidebarTab::home)->geometry().translated(0, 0);
  const QPoint bar = view.sidebar()->item(SidebarTab::home)->mapTo(&view, QPoint(SidebarItem::outerPadding + 1, home.height() / 2));
  EXPECT_TRUE(showsColour(shot.pixel(bar), Palette::neonCyan, 30));
  // The edge's glow falls on the page beside it.
  const QColor nearEdge = shot.pixel(243, 360);
  const QColor farFromEdge = shot.pixel(300, 360);
  EXPECT_GT(nearEdge.green(), farFromEdge.green());
}

}  // namespace
