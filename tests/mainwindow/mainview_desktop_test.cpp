#include "mainwindow/mainview.h"

#include "mainwindow/languagemenu.h"
#include "mainwindow/popover.h"
#include "mainwindow/sidebar.h"
#include "mainwindow/squaresymbolbutton.h"
#include "pipeline/permissionmanager.h"
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
  const QPoint bar =
      view.sidebar()->item(SidebarTab::home)->mapTo(&view, QPoint(SidebarItem::outerPadding + 1, home.height() / 2));
  EXPECT_TRUE(showsColour(shot.pixel(bar), Palette::neonCyan, 30));
  // The edge's glow falls on the page beside it.
  const QColor nearEdge = shot.pixel(243, 360);
  const QColor farFromEdge = shot.pixel(262, 360);  // still short of the page's content
  EXPECT_GT(nearEdge.green(), farFromEdge.green());

  view.setSelectedTab(SidebarTab::settings);
  onScreen(view, QStringLiteral("mainview-settings"));
  view.setSelectedTab(SidebarTab::persona);
  onScreen(view, QStringLiteral("mainview-persona"));
}

TEST_F(MainViewOnScreen, ThePopoversHangFromTheirButtons) {
  REQUIRE_TEST_DESKTOP();
  trust.trusted = false;
  PermissionManager::shared().refresh();
  MainView view;
  onScreen(view, QStringLiteral("mainview-denied"));
  view.toggleLanguagePopover();
  ASSERT_TRUE(view.showLanguagePopover());
  Popover& language = *view.languagePopover();
  const QImage languageShot = onScreen(language, QStringLiteral("popover-language"));
  // Above its button, arrow pointing down at it.
  const QRect button(view.sidebar()->languageButton()->mapToGlobal(QPoint(0, 0)),
                     view.sidebar()->languageButton()->size());
  EXPECT_LE(language.frameGeometry().bottom(), button.top());
  EXPECT_EQ(language.width(), LanguageMenu::menuWidth);
  view.setShowLanguagePopover(false);

  view.toggleAccountPopover();
  ASSERT_TRUE(view.showAccountPopover());
  onScreen(*view.accountPopover(), QStringLiteral("popover-account"));
  view.toggleAccountPopover();

  view.openPermissionPopover();
  ASSERT_TRUE(view.showPermissionPopover());
  Popover& permissions = *view.permissionPopover();
  onScreen(permissions, QStringLiteral("popover-permissions"));
  const QRect permissionButton(view.sidebar()->permissionButton()->mapToGlobal(QPoint(0, 0)),
                               view.sidebar()->permissionButton()->size());
  EXPECT_GE(permissions.frameGeometry().left(), permissionButton.right());
}

}  // namespace
