#include "mainwindow/mainview.h"

#include "localization/appstrings.h"
#include "mainwindow/accountpopoverview.h"
#include "mainwindow/languagemenu.h"
#include "mainwindow/popover.h"
#include "mainwindow/sidebar.h"
#include "mainwindow/squaresymbolbutton.h"
#include "pipeline/permissionmanager.h"
#include "mainwindow/sidebaritem.h"
#include "atspitree.h"
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

using MainViewForScreenReaders = MainWindowServiceTest;

// A screen reader finds every control of the sidebar's foot by a name and
// reaches each popover (account, my invite codes, language, permissions) with
// its controls, as it reads them over AT-SPI.
TEST_F(MainViewForScreenReaders, ReachesTheSymbolButtonsAndEveryPopover) {
  REQUIRE_TEST_DESKTOP();
  const AppStrings& strings = currentStrings();
  AuthStore::shared().setEmail(QStringLiteral("ada.lovelace@example.com"));
  AuthStore::shared().setTier(QStringLiteral("trial"));
  AuthStore::shared().setShowInviteCodesEnabled(true);
  service.route("GET", apiPath("/auth/invite-codes"),
                ScriptedResponse::json(200, R"({"invite_codes":[{"code":"ABCD2345","is_used":false}]})"));
  trust.trusted = false;
  PermissionManager::shared().refresh();
  MainView view;
  onScreen(view, QStringLiteral("mainview-screenreader"));

  const AtSpiTree window = AtSpiTree::read();
  ASSERT_FALSE(window.nodes.isEmpty()) << "nothing read over AT-SPI";
  const AtSpiTree account = window.under(QStringLiteral("push button"),
                                         QStringLiteral("ada.lovelace@example.com\n") + strings.tierTrial);
  ASSERT_FALSE(account.nodes.isEmpty()) << window.text();
  EXPECT_EQ(account.nodes.first().description, strings.accountTitle);
  EXPECT_TRUE(window.contains(QStringLiteral("push button"), strings.languageLabel)) << window.text();
  EXPECT_TRUE(window.contains(QStringLiteral("push button"), strings.permUnauthorized)) << window.text();

  const auto popoverIn = [](const QString& name) {
    return AtSpiTree::read().under(QStringLiteral("frame"), name);
  };
  view.toggleAccountPopover();
  ASSERT_TRUE(view.accountPopover());
  waitUntil([&] { return view.accountPopover()->isVisible(); });
  const AtSpiTree accountPopover = popoverIn(strings.accountTitle);
  EXPECT_TRUE(accountPopover.contains(QStringLiteral("push button"), strings.logout)) << accountPopover.text();
  EXPECT_TRUE(accountPopover.contains(QStringLiteral("push button"), strings.myInviteCodesBtn)) << accountPopover.text();

  auto* accountView = qobject_cast<AccountPopoverView*>(view.accountPopover()->content());
  ASSERT_TRUE(accountView);
  accountView->setShowInviteCodes(true);
  ASSERT_TRUE(accountView->inviteCodesPopover());
  waitUntil([&] { return !shownTexts(*accountView->inviteCodesPopover()).filter(QStringLiteral("ABCD-2345")).isEmpty(); });
  const AtSpiTree codes = popoverIn(strings.myInviteCodesTitle);
  EXPECT_TRUE(codes.contains(QStringLiteral("push button"), strings.agreementClose)) << codes.text();
  const AtSpiTree copy = codes.under(QStringLiteral("push button"), strings.btnCopy);
  ASSERT_FALSE(copy.nodes.isEmpty()) << codes.text();
  EXPECT_EQ(copy.nodes.first().description, QStringLiteral("ABCD-2345"));
  view.setShowAccountPopover(false);

  view.toggleLanguagePopover();
  waitUntil([&] { return view.languagePopover() && view.languagePopover()->isVisible(); });
  const AtSpiTree languages = popoverIn(strings.languageLabel);
  for (AppLanguage language : allAppLanguages()) {
    EXPECT_TRUE(languages.contains(QStringLiteral("push button"), displayName(language))) << languages.text();
  }
  view.setShowLanguagePopover(false);

  view.openPermissionPopover();
  waitUntil([&] { return view.permissionPopover() && view.permissionPopover()->isVisible(); });
  const AtSpiTree permissions = popoverIn(strings.permManage);
  EXPECT_TRUE(permissions.contains(QStringLiteral("push button"), strings.btnRefresh)) << permissions.text();
}

}  // namespace
