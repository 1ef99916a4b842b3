// The main window's frame: the sidebar, its pages and its popovers (account,
// my invite codes, language, permissions), against the shared objects and a
// fake service.
#include "core/clock.h"
#include "core/userdefaults.h"
#include "mainwindow/accountbutton.h"
#include "mainwindow/accountpopoverview.h"
#include "mainwindow/creditsbar.h"
#include "mainwindow/historyview.h"
#include "mainwindow/invitecoderow.h"
#include "mainwindow/mainview.h"
#include "mainwindow/myinvitecodesview.h"
#include "mainwindow/myinvitecodesviewmodel.h"
#include "mainwindow/popover.h"
#include "mainwindow/sidebar.h"
#include "mainwindow/sidebaritem.h"
#include "mainwindow/squaresymbolbutton.h"
#include "mainwindow/symbolbutton.h"
#include "mainwindow/textlabel.h"
#include "mainwindow/themedscrollarea.h"
#include "mainwindowtest.h"
#include "pipeline/permissionmanager.h"
#include "service/authstore.h"
#include "theme/palette.h"

#include <QPointer>
#include <QSignalSpy>

namespace {

using namespace Palette;

class MainWindow : public MainWindowServiceTest {
 protected:
  MainWindow() {
    AuthStore::shared().setEmail(QStringLiteral("ada@example.com"));
    AuthStore::shared().setToken(QStringLiteral("token"));
  }

  QAbstractButton* sidebarButton(const QString& name) const { return shownWith(*view.sidebar(), name); }

  MainView view;
};

TEST_F(MainWindow, ChoosingAnEntryReplacesThePageAndMarksTheEntry) {
  view.show();
  EXPECT_EQ(view.size(), QSize(1120, 720));
  const AppStrings& strings = currentStrings();
  EXPECT_TRUE(shows(view, strings.pageHome));
  const struct {
    SidebarTab tab;
    QString entry;
    QString title;
  } rows[] = {{SidebarTab::history, strings.sidebarHistory, strings.pageHistory},
              {SidebarTab::dictionary, strings.sidebarDict, strings.pageDict},
              {SidebarTab::settings, strings.sidebarSettings, strings.pageSettings},
              {SidebarTab::persona, strings.sidebarPersona, strings.pagePersona},
              {SidebarTab::home, strings.sidebarHome, strings.pageHome}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.entry.toStdString());
    QPointer<QWidget> before = view.page();
    click(sidebarButton(row.entry));
    // The page that was left is gone at once, with whatever state it held.
    EXPECT_TRUE(before.isNull());
    EXPECT_TRUE(shows(view, row.title));
    EXPECT_EQ(shownWidgets<PageScaffold>(view).size(), 1);
    for (SidebarTab other : allSidebarTabs()) {
      EXPECT_EQ(view.sidebar()->item(other)->isSelected(), other == row.tab);
      EXPECT_EQ(view.sidebar()->item(other)->shownIcon(),
                other == row.tab ? iconName(other) + ".fill" : iconName(other));
    }
  }

  // The history starts at its first page each time it is chosen.
  for (int i = 0; i < 30; ++i) HistoryStore::shared().addRecord(makeRecord(RecognitionStatus::success));
  click(sidebarButton(strings.sidebarHistory));
  qobject_cast<HistoryView*>(view.page())->showMore();
  click(sidebarButton(strings.sidebarHome));
  click(sidebarButton(strings.sidebarHistory));
  EXPECT_TRUE(shows(view, strings.moreCount(10)));
}

TEST_F(MainWindow, EachSidebarButtonOpensAndClosesItsPopover) {
  view.show();
  const QString account = view.sidebar()->accountButton()->accessibleName();
  for (const auto& [name, isOpen] : {std::pair{account, &MainView::showAccountPopover},
                                     std::pair{currentStrings().languageLabel, &MainView::showLanguagePopover}}) {
    click(sidebarButton(name));
    EXPECT_TRUE((view.*isOpen)());
    click(sidebarButton(name));
    EXPECT_FALSE((view.*isOpen)());
  }

  // Closed from outside, the flag follows, and the next press opens it again.
  click(sidebarButton(account));
  QSignalSpy changed(&view, &MainView::showAccountPopoverChanged);
  view.accountPopover()->close();
  EXPECT_FALSE(view.showAccountPopover());
  EXPECT_EQ(changed.count(), 1);
  click(sidebarButton(account));
  EXPECT_TRUE(view.accountPopover()->isVisible());
  // The three are independent.
  click(sidebarButton(currentStrings().languageLabel));
  EXPECT_TRUE(view.languagePopover()->isVisible());
  EXPECT_TRUE(view.accountPopover()->isVisible());
  EXPECT_FALSE(view.showPermissionPopover());
}

TEST_F(MainWindow, ChoosingALanguageSwitchesTheTextsClosesThePopoverAndIsKept) {
  view.show();
  click(sidebarButton(currentStrings().languageLabel));
  clickText(*view.languagePopover(), displayName(AppLanguage::ko));
  EXPECT_EQ(UserDefaults::shared().text(QStringLiteral("app_language")), QStringLiteral("ko"));
  EXPECT_FALSE(view.showLanguagePopover());
  const AppStrings& korean = stringsFor(AppLanguage::ko);
  EXPECT_TRUE(shows(view, korean.pageHome));
  EXPECT_EQ(view.sidebar()->languageButton()->toolTip(), korean.languageLabel);

  // The language already in use: written again, and the popover closes.
  click(sidebarButton(korean.languageLabel));
  QSignalSpy changed(&LanguageManager::shared(), &LanguageManager::currentChanged);
  clickText(*view.languagePopover(), displayName(AppLanguage::ko));
  EXPECT_EQ(changed.count(), 1);
  EXPECT_FALSE(view.showLanguagePopover());
}

TEST_F(MainWindow, ThePermissionButtonWarnsAndRefreshesBeforeItsPopoverOpens) {
  trust.trusted = false;
  PermissionManager::shared().refresh();
  view.show();
  SquareSymbolButton* button = view.sidebar()->permissionButton();
  EXPECT_EQ(button->accessibleName(), currentStrings().permUnauthorized);
  EXPECT_EQ(button->look().symbolColor, neonOrange);
  EXPECT_EQ(button->look().badge, neonOrange);

  // Granted in the desktop's settings meanwhile: the press looks again first.
  trust.trusted = true;
  click(button);
  ASSERT_TRUE(view.permissionPopover() && view.permissionPopover()->isVisible());
  EXPECT_EQ(button->accessibleName(), currentStrings().permManage);
  EXPECT_FALSE(button->look().badge.has_value());
  EXPECT_EQ(shownTexts(*view.permissionPopover()).count(currentStrings().manage), 2);

  // The button only ever opens its popover; the popover's done button closes it.
  click(button);
  EXPECT_TRUE(view.showPermissionPopover());
  EXPECT_EQ(view.permissionPopover()->arrowEdge(), Popover::ArrowEdge::trailing);
  clickText(*view.permissionPopover(), currentStrings().btnDone);
  EXPECT_FALSE(view.showPermissionPopover());
}

TEST_F(MainWindow, TheAccountButtonShowsTheAddressAndTierAndSigningOutClosesThePopoverFirst) {
  const struct {
    std::optional<QString> email;
    QString tier;
    QString name;
  } rows[] = {
      {std::nullopt, "trial", currentStrings().notLoggedIn + "\n" + currentStrings().tierTrial},
      {"ada@example.com", "pro", "ada@example.com\nPRO"},
      {"ada@example.com", "Trial", "ada@example.com\nTRIAL"},
      {"ada@example.com", "", "ada@example.com"},
  };
  AccountButton* button = view.sidebar()->accountButton();
  for (const auto& row : rows) {
    AuthStore::shared().setEmail(row.email);
    AuthStore::shared().setTier(row.tier);
    EXPECT_EQ(button->accessibleName(), row.name);
  }

  AuthStore::shared().setToken(QStringLiteral("token"));
  view.show();
  click(button);
  std::optional<bool> popoverOpenAtSignOut;
  QObject::connect(&AuthStore::shared(), &AuthStore::tokenChanged, &view,
                   [&] { popoverOpenAtSignOut = view.showAccountPopover(); });
  clickText(*view.accountPopover(), currentStrings().logout);
  EXPECT_EQ(popoverOpenAtSignOut, false);
  EXPECT_FALSE(AuthStore::shared().isSignedIn());
  EXPECT_EQ(button->shownEmailLine(), currentStrings().notLoggedIn);
}

TEST_F(MainWindow, InviteCodesAreOfferedOnlyWhenAllowedAndTheirPopoverGoesWithTheAccounts) {
  service.route("GET", apiPath("/auth/invite-codes"), ScriptedResponse::json(200, R"({"invite_codes":[]})"));
  AuthStore::shared().setShowInviteCodesEnabled(false);
  auto* account = new AccountPopoverView([] {});
  account->show();
  EXPECT_FALSE(shownWith(*account, currentStrings().myInviteCodesBtn));
  AuthStore::shared().setShowInviteCodesEnabled(true);
  ASSERT_TRUE(shownWith(*account, currentStrings().myInviteCodesBtn)) << "follows the store while open";

  clickText(*account, currentStrings().myInviteCodesBtn);
  QPointer<Popover> popover = account->inviteCodesPopover();
  ASSERT_TRUE(popover && popover->isVisible());
  EXPECT_EQ(popover->arrowEdge(), Popover::ArrowEdge::trailing);
  EXPECT_TRUE(service.waitForRequests(1)) << "opening fetches the codes";
  // Its close button closes it.
  clickText(*popover, currentStrings().agreementClose);
  EXPECT_FALSE(account->showInviteCodes());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(popover);

  // Opened again, it goes when the account popover goes (signing out).
  clickText(*account, currentStrings().myInviteCodesBtn);
  popover = account->inviteCodesPopover();
  ASSERT_TRUE(popover);
  delete account;
  EXPECT_FALSE(popover);
}

QByteArray codesJson(const QList<QByteArray>& items) { return R"({"invite_codes":[)" + items.join(',') + "]}"; }

QByteArray available(const QByteArray& code) { return R"({"code":")" + code + R"(","is_used":false})"; }

TEST_F(MainWindow, AFailedCodeListSaysWhyAndRetryCanRecover) {
  const QByteArray path = apiPath("/auth/invite-codes");
  service.enqueue("GET", path, ScriptedResponse::json(403, R"({"code":"INVALID_INVITE_CODE","message":"nope"})"));
  service.enqueue("GET", path, ScriptedResponse::json(200, R"({"invite_codes":[{"code":"X"}]})"));
  service.enqueue("GET", path, ScriptedResponse::json(200, codesJson({available("ABCD2345")})));
  MyInviteCodesView codes([] {});
  codes.show();
  for (const QString& message : {currentStrings().errorInvalidInviteCode, currentStrings().errorDecode}) {
    ASSERT_TRUE(waitUntil([&] { return shows(codes, message); }));
    clickText(codes, currentStrings().retry);
    EXPECT_TRUE(shows(codes, currentStrings().loading));
    EXPECT_FALSE(shows(codes, message));
  }
  ASSERT_TRUE(waitUntil([&] { return shows(codes, QStringLiteral("ABCD-2345")); }));
  EXPECT_EQ(service.requestCount(), 3);

  // No answer at all: the network's wording.
  ScriptedResponse hangUp;
  hangUp.closeWithoutAnswer = true;
  service.route("GET", path, hangUp);
  MyInviteCodesViewModel model;
  awaitTask(model.load());
  ASSERT_TRUE(model.errorMessage());
  EXPECT_FALSE(model.errorMessage()->isEmpty());
  EXPECT_FALSE(model.isLoading());
}

TEST_F(MainWindow, CopyingPutsTheBareCodeOnTheClipboardAndTheMarkLastsTwoSecondsAfterTheLatestCopy) {
  Clock::setTimeScaleForTesting(0.5);  // two seconds take one
  InviteCodeRow row({QStringLiteral("ABCD2345"), false, std::nullopt, std::nullopt});
  row.show();
  clickText(row, currentStrings().btnCopy);
  EXPECT_EQ(pasteboard.string(), QStringLiteral("ABCD2345"));
  QAbstractButton* copied = shownWith(row, currentStrings().myInviteCodeCopied);
  ASSERT_TRUE(copied);
  EXPECT_EQ(qobject_cast<SymbolButton*>(copied)->symbol(), QStringLiteral("checkmark"));

  // Copied again a moment later: the first copy's reset must not clear it.
  QElapsedTimer clock;
  clock.start();
  waitUntil([&] { return clock.elapsed() >= 500; }, std::chrono::seconds(1));
  click(copied);
  ASSERT_TRUE(waitUntil([&] { return shownWith(row, currentStrings().btnCopy); }));
  EXPECT_GE(clock.elapsed(), 1000 + 500 - 100) << "cleared by the first copy's timer";
  EXPECT_EQ(qobject_cast<SymbolButton*>(shownWith(row, currentStrings().btnCopy))->symbol(), QStringLiteral("doc.on.doc"));
  Clock::setTimeScaleForTesting(1);

  const struct {
    QString code, shown;
  } groups[] = {
      {QStringLiteral("ABCD2345"), QStringLiteral("ABCD-2345")},
      {QStringLiteral("AB2345"), QStringLiteral("AB2345")},
      {QStringLiteral("ABCDE2345"), QStringLiteral("ABCDE2345")},
      {QString(), QString()},
      // Eight characters as a person counts them, one of them two code units.
      {QStringLiteral("AB\u00E9\U0001F600WXYZ"), QStringLiteral("AB\u00E9\U0001F600-WXYZ")},
      {QStringLiteral("ABCe\u0301WXYZ"), QStringLiteral("ABCe\u0301-WXYZ")},
  };
  for (const auto& group : groups) EXPECT_EQ(InviteCodeRow::displayCode(group.code), group.shown);
}

}  // namespace
