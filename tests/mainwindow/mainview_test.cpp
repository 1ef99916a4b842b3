#include "mainwindow/mainview.h"

#include "core/userdefaults.h"
#include "localization/appstrings.h"
#include "historyrecords.h"
#include "mainwindow/accountbutton.h"
#include "mainwindow/accountpopoverview.h"
#include "mainwindow/rowbutton.h"
#include "mainwindow/dictionaryview.h"
#include "mainwindow/historycard.h"
#include "mainwindow/historyview.h"
#include "mainwindow/homeview.h"
#include "mainwindow/personaview.h"
#include "mainwindow/settingsview.h"
#include "mainwindow/languagemenu.h"
#include "mainwindow/permissiongateview.h"
#include "mainwindow/popover.h"
#include "mainwindow/recorderstatusline.h"
#include "mainwindow/sidebar.h"
#include "mainwindow/sidebaritem.h"
#include "mainwindow/squaresymbolbutton.h"
#include "mainwindowtest.h"
#include "pipeline/permissionmanager.h"
#include "service/authstore.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QImage>
#include <QPointer>
#include <QSignalSpy>

namespace {

using MainViewTest = MainWindowTest;

TEST_F(MainViewTest, ChoosingAnEntryReplacesThePageAndMarksTheEntry) {
  MainView view;
  EXPECT_EQ(view.size(), QSize(1120, 720));
  EXPECT_EQ(view.sidebar()->width(), 240);
  EXPECT_EQ(view.selectedTab(), SidebarTab::home);

  for (SidebarTab tab :
       {SidebarTab::history, SidebarTab::dictionary, SidebarTab::settings, SidebarTab::persona, SidebarTab::home}) {
    QPointer<QWidget> before = view.page();
    view.sidebar()->item(tab)->click();
    EXPECT_EQ(view.selectedTab(), tab);
    // The page that was left is gone at once, with whatever state it held.
    EXPECT_TRUE(before.isNull());
    ASSERT_NE(view.page(), nullptr);
    for (SidebarTab other : allSidebarTabs()) {
      EXPECT_EQ(view.sidebar()->item(other)->isSelected(), other == tab);
      EXPECT_EQ(view.sidebar()->item(other)->shownIcon(), other == tab ? iconName(other) + ".fill" : iconName(other))
          << iconName(other).toStdString();
    }
  }
}

TEST_F(MainViewTest, EachEntryShowsItsPage) {
  MainView view;
  EXPECT_NE(qobject_cast<HomeView*>(view.page()), nullptr);
  view.setSelectedTab(SidebarTab::dictionary);
  EXPECT_NE(qobject_cast<DictionaryView*>(view.page()), nullptr);
  view.setSelectedTab(SidebarTab::settings);
  EXPECT_NE(qobject_cast<SettingsView*>(view.page()), nullptr);
  view.setSelectedTab(SidebarTab::persona);
  EXPECT_NE(qobject_cast<PersonaView*>(view.page()), nullptr);

  // The history starts at its first page each time it is chosen.
  for (int i = 0; i < 30; ++i) HistoryStore::shared().addRecord(makeRecord(RecognitionStatus::success));
  view.show();
  view.setSelectedTab(SidebarTab::history);
  auto* history = qobject_cast<HistoryView*>(view.page());
  ASSERT_NE(history, nullptr);
  EXPECT_EQ(history->pageSize(), 20);
  history->showMore();
  EXPECT_EQ(history->displayCount(), 40);
  view.setSelectedTab(SidebarTab::home);
  view.setSelectedTab(SidebarTab::history);
  history = qobject_cast<HistoryView*>(view.page());
  EXPECT_EQ(history->displayCount(), 20);
  EXPECT_LE(history->cards().size(), 20);
}

TEST_F(MainViewTest, AccountAndLanguageButtonsOpenAndCloseTheirPopovers) {
  MainView view;
  view.show();
  for (auto [button, isOpen] :
       {std::pair{static_cast<QAbstractButton*>(view.sidebar()->accountButton()), &MainView::showAccountPopover},
        std::pair{static_cast<QAbstractButton*>(view.sidebar()->languageButton()), &MainView::showLanguagePopover}}) {
    button->click();
    EXPECT_TRUE((view.*isOpen)());
    button->click();
    EXPECT_FALSE((view.*isOpen)());
  }

  // Closed from outside, the flag follows, and the next press opens it again.
  view.setShowAccountPopover(true);
  QSignalSpy changed(&view, &MainView::showAccountPopoverChanged);
  view.accountPopover()->close();
  EXPECT_FALSE(view.showAccountPopover());
  EXPECT_EQ(changed.count(), 1);
  view.sidebar()->accountButton()->click();
  EXPECT_TRUE(view.showAccountPopover());
  // The three flags are independent.
  view.sidebar()->languageButton()->click();
  EXPECT_TRUE(view.showLanguagePopover());
  EXPECT_FALSE(view.showPermissionPopover());
}

TEST_F(MainViewTest, ChoosingALanguageSwitchesTheTextsClosesThePopoverAndIsKept) {
  MainView view;
  view.show();
  view.sidebar()->languageButton()->click();
  auto* menu = qobject_cast<LanguageMenu*>(view.languagePopover()->content());
  ASSERT_NE(menu, nullptr);
  menu->row(AppLanguage::ko)->click();

  EXPECT_EQ(LanguageManager::shared().current(), AppLanguage::ko);
  EXPECT_EQ(UserDefaults::shared().text(QStringLiteral("app_language")), QStringLiteral("ko"));
  EXPECT_FALSE(view.showLanguagePopover());
  const AppStrings& korean = stringsFor(AppLanguage::ko);
  EXPECT_EQ(view.sidebar()->item(SidebarTab::home)->label(), korean.sidebarHome);
  EXPECT_EQ(view.sidebar()->item(SidebarTab::settings)->label(), korean.sidebarSettings);
  EXPECT_EQ(view.sidebar()->languageButton()->toolTip(), korean.languageLabel);

  // The language already in use: written again, and the popover closes.
  view.sidebar()->languageButton()->click();
  QSignalSpy changed(&LanguageManager::shared(), &LanguageManager::currentChanged);
  menu = qobject_cast<LanguageMenu*>(view.languagePopover()->content());
  menu->row(AppLanguage::ko)->click();
  EXPECT_EQ(changed.count(), 1);
  EXPECT_FALSE(view.showLanguagePopover());
}

TEST_F(MainViewTest, ThePermissionButtonWarnsAndRefreshesBeforeItsPopoverOpens) {
  trust.trusted = false;
  PermissionManager::shared().refresh();
  MainView view;
  view.show();
  SquareSymbolButton* button = view.sidebar()->permissionButton();
  EXPECT_EQ(button->look().symbol, "lock.shield");
  EXPECT_EQ(button->look().symbolColor, Palette::neonOrange);
  EXPECT_EQ(button->look().badge, Palette::neonOrange);
  EXPECT_EQ(button->toolTip(), currentStrings().permUnauthorized);

  // Granted in the desktop's settings meanwhile: the press looks again first.
  trust.trusted = true;
  button->click();
  EXPECT_TRUE(view.showPermissionPopover());
  EXPECT_EQ(button->look().symbol, "lock.shield.fill");
  EXPECT_FALSE(button->look().badge.has_value());
  EXPECT_EQ(button->toolTip(), currentStrings().permManage);

  // The button only ever opens its popover.
  button->click();
  EXPECT_TRUE(view.showPermissionPopover());
  EXPECT_EQ(view.permissionPopover()->arrowEdge(), Popover::ArrowEdge::trailing);

  // The gate's own done button closes it.
  auto* gate = qobject_cast<PermissionGateView*>(view.permissionPopover()->content());
  ASSERT_NE(gate, nullptr);
  gate->doneButton()->click();
  EXPECT_FALSE(view.showPermissionPopover());
}

TEST_F(MainViewTest, TheAccountButtonShowsTheAddressAndTier) {
  const AppStrings& strings = currentStrings();
  const struct {
    std::optional<QString> email;
    QString tier;
    QString line1;
    QString line2;
  } rows[] = {
      {std::nullopt, "trial", strings.notLoggedIn, strings.tierTrial},
      {"ada@example.com", "pro", "ada@example.com", "PRO"},
      {"ada@example.com", "Trial", "ada@example.com", "TRIAL"},
      {"ada@example.com", "", "ada@example.com", ""},
  };
  MainView view;
  AccountButton* button = view.sidebar()->accountButton();
  for (const auto& row : rows) {
    AuthStore::shared().setEmail(row.email);
    AuthStore::shared().setTier(row.tier);
    EXPECT_EQ(button->shownEmailLine(), row.line1);
    EXPECT_EQ(button->shownTierLine(), row.line2);
  }
}

TEST_F(MainViewTest, SigningOutClosesThePopoverAndEndsTheSession) {
  AuthStore::shared().setEmail(QStringLiteral("ada@example.com"));
  AuthStore::shared().setToken(QStringLiteral("token"));
  MainView view;
  view.show();
  view.sidebar()->accountButton()->click();
  auto* account = qobject_cast<AccountPopoverView*>(view.accountPopover()->content());
  ASSERT_NE(account, nullptr);
  account->logoutButton()->click();
  EXPECT_FALSE(view.showAccountPopover());
  EXPECT_FALSE(AuthStore::shared().isSignedIn());
  EXPECT_EQ(view.sidebar()->accountButton()->shownEmailLine(), currentStrings().notLoggedIn);
}

// The recorder's line: only recording is red; processing looks like idle but
// for its word.
TEST(RecorderStatusLine, OnlyRecordingLightsTheDot) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  const auto render = [](RecordingState state) {
    RecorderStatusLine line;
    line.setState(state);
    line.resize(200, line.sizeHint().height());
    QImage image(line.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    line.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
  };
  const QImage idle = render(RecordingState::idle);
  const QImage processing = render(RecordingState::processing);
  const QImage recording = render(RecordingState::recording);
  const int dotX = RecorderStatusLine::leadingRoom + 4;
  const int middle = idle.height() / 2;
  EXPECT_TRUE(showsColour(idle.pixel(dotX, middle), Palette::cyberTextTertiary));
  EXPECT_EQ(idle.copy(0, 0, 20, idle.height()), processing.copy(0, 0, 20, idle.height()));
  EXPECT_NE(idle, processing);
  EXPECT_TRUE(showsColour(recording.pixel(dotX, middle), Palette::neonRed));
  // The ring reaches past the dot.
  EXPECT_GT(qAlpha(recording.pixel(RecorderStatusLine::leadingRoom - 3, middle)), 0);
  EXPECT_EQ(qAlpha(idle.pixel(RecorderStatusLine::leadingRoom - 3, middle)), 0);
}

}  // namespace
