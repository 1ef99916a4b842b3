// The main window on the test desktop: where its popovers hang, and what a
// screen reader reads of it.
#include "atspitree.h"
#include "mainwindow/accountpopoverview.h"
#include "mainwindow/languagemenu.h"
#include "mainwindow/mainview.h"
#include "mainwindow/popover.h"
#include "mainwindow/sidebar.h"
#include "mainwindow/squaresymbolbutton.h"
#include "mainwindowtest.h"
#include "pipeline/permissionmanager.h"
#include "service/authstore.h"

#include <QWindow>
#include "mainwindow/accountbutton.h"

namespace {

void waitExposed(QWidget& window) {
  window.show();
  ASSERT_TRUE(waitUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }));
}

using MainViewOnScreen = MainWindowTest;

TEST_F(MainViewOnScreen, ThePopoversHangFromTheirButtons) {
  REQUIRE_TEST_DESKTOP();
  trust.trusted = false;
  PermissionManager::shared().refresh();
  MainView view;
  waitExposed(view);
  click(view.sidebar()->languageButton());
  Popover& language = *view.languagePopover();
  waitExposed(language);
  // Above its button, arrow pointing down at it.
  const QRect button(view.sidebar()->languageButton()->mapToGlobal(QPoint(0, 0)),
                     view.sidebar()->languageButton()->size());
  EXPECT_TRUE(waitUntil([&] { return language.frameGeometry().bottom() <= button.top(); }));
  EXPECT_EQ(language.width(), LanguageMenu::menuWidth);
  view.setShowLanguagePopover(false);

  click(view.sidebar()->permissionButton());
  Popover& permissions = *view.permissionPopover();
  waitExposed(permissions);
  const QRect permissionButton(view.sidebar()->permissionButton()->mapToGlobal(QPoint(0, 0)),
                               view.sidebar()->permissionButton()->size());
  EXPECT_TRUE(waitUntil([&] { return permissions.frameGeometry().left() >= permissionButton.right(); }));
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
  waitExposed(view);

  const AtSpiTree window = AtSpiTree::read();
  ASSERT_FALSE(window.nodes.isEmpty()) << "nothing read over AT-SPI";
  const AtSpiTree account =
      window.under(QStringLiteral("push button"), QStringLiteral("ada.lovelace@example.com\n") + strings.tierTrial);
  ASSERT_FALSE(account.nodes.isEmpty()) << window.text();
  EXPECT_EQ(account.nodes.first().description, strings.accountTitle);
  EXPECT_TRUE(window.contains(QStringLiteral("push button"), strings.languageLabel)) << window.text();
  EXPECT_TRUE(window.contains(QStringLiteral("push button"), strings.permUnauthorized)) << window.text();

  const auto popoverIn = [](const QString& name) { return AtSpiTree::read().under(QStringLiteral("frame"), name); };
  click(view.sidebar()->accountButton());
  waitExposed(*view.accountPopover());
  const AtSpiTree accountPopover = popoverIn(strings.accountTitle);
  EXPECT_TRUE(accountPopover.contains(QStringLiteral("push button"), strings.logout)) << accountPopover.text();
  EXPECT_TRUE(accountPopover.contains(QStringLiteral("push button"), strings.myInviteCodesBtn)) << accountPopover.text();

  clickText(*view.accountPopover(), strings.myInviteCodesBtn);
  auto* accountView = qobject_cast<AccountPopoverView*>(view.accountPopover()->content());
  ASSERT_TRUE(accountView && accountView->inviteCodesPopover());
  ASSERT_TRUE(waitUntil([&] { return shows(*accountView->inviteCodesPopover(), QStringLiteral("ABCD-2345")); }));
  const AtSpiTree codes = popoverIn(strings.myInviteCodesTitle);
  EXPECT_TRUE(codes.contains(QStringLiteral("push button"), strings.agreementClose)) << codes.text();
  const AtSpiTree copy = codes.under(QStringLiteral("push button"), strings.btnCopy);
  ASSERT_FALSE(copy.nodes.isEmpty()) << codes.text();
  EXPECT_EQ(copy.nodes.first().description, QStringLiteral("ABCD-2345"));
  view.setShowAccountPopover(false);

  click(view.sidebar()->languageButton());
  waitExposed(*view.languagePopover());
  const AtSpiTree languages = popoverIn(strings.languageLabel);
  for (AppLanguage language : allAppLanguages()) {
    EXPECT_TRUE(languages.contains(QStringLiteral("push button"), displayName(language))) << languages.text();
  }
  view.setShowLanguagePopover(false);

  click(view.sidebar()->permissionButton());
  waitExposed(*view.permissionPopover());
  const AtSpiTree permissions = popoverIn(strings.permManage);
  EXPECT_TRUE(permissions.contains(QStringLiteral("push button"), strings.btnRefresh)) << permissions.text();
}

}  // namespace
