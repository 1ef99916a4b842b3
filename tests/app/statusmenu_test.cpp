#include "app/appdelegate.h"
#include "app/statusitem.h"

#include "appshelltest.h"
#include "core/appevents.h"
#include "diagnostics/crashreporter.h"
#include "fakeupdater.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "logcapture.h"
#include "mainwindow/permissionwindowmanager.h"

#include <QAction>
#include <QMenu>

#include <memory>

namespace {

// One item of the menu as the user sees it.
struct Item {
  QString title;
  bool enabled = true;
  bool operator==(const Item&) const = default;
};

void PrintTo(const Item& item, std::ostream* out) {
  *out << '"' << item.title.toStdString() << '"' << (item.enabled ? "" : " (disabled)");
}

class StatusMenuTest : public AppShellTest {
 protected:
  StatusMenuTest() {
    delegate.setUpdaterFactory([this](UpdaterDelegate&) {
      auto updater = std::make_unique<FakeUpdater>();
      updaters.append(updater.get());
      return updater;
    });
    EXPECT_TRUE(delegate.applicationDidFinishLaunching());
  }

  // Opens the menu as a click would: built anew from the current state.
  QList<QAction*> openMenu() {
    QMenu* menu = delegate.statusItem()->menu();
    Q_EMIT menu->aboutToShow();
    return menu->actions();
  }

  QList<Item> items() {
    QList<Item> shown;
    for (QAction* action : openMenu()) {
      shown.append(action->isSeparator() ? Item{QStringLiteral("---")} : Item{action->text(), action->isEnabled()});
    }
    return shown;
  }

  Item updateItem() { return items().value(3); }
  Item crashItem() { return items().value(4); }

  static void savePendingReports(int count) {
    for (int i = 0; i < count; ++i) {
      CrashReport report;
      report.id = QStringLiteral("R%1").arg(i);
      report.timestamp = QStringLiteral("2026-01-01T00:00:0%1Z").arg(i);
      report.appVersion = QStringLiteral("0.1.0");
      report.osVersion = QStringLiteral("12.0.0");
      report.signal = QStringLiteral("SIGSEGV");
      report.reason = QStringLiteral("Fatal signal SIGSEGV");
      CrashReporter::shared().save(report);
    }
  }

  AppDelegate delegate;
  QList<FakeUpdater*> updaters;  // made by the delegate, which owns them
};

TEST_F(StatusMenuTest, ItemsInOrderInTheLanguageOfTheMomentTheMenuOpens) {
  for (AppLanguage language : {AppLanguage::en, AppLanguage::ko}) {
    LanguageManager::shared().setCurrent(language);
    const AppStrings& strings = currentStrings();
    EXPECT_EQ(items(), (QList<Item>{{strings.menuShowMain},
                                    {QStringLiteral("---")},
                                    {strings.menuPermissions},
                                    {strings.menuCheckUpdate},
                                    {strings.menuCrashNoLog, false},
                                    {QStringLiteral("---")},
                                    {strings.menuQuit}}));
  }
  EXPECT_EQ(openMenu().last()->shortcut(), QKeySequence(QKeySequence::Quit));
}

// The update item follows the updater's reports; while a check or download
// runs it cannot start another, and once a download has ended, either way, it
// can.
TEST_F(StatusMenuTest, UpdateItemFollowsTheUpdatersReports) {
  const AppStrings& strings = currentStrings();
  const auto updater = [&]() -> Updater& { return *updaters.first(); };
  const struct {
    const char* step;
    std::function<void()> act;
    Item expected;
  } steps[] = {
      {"check", [&] { openMenu().at(3)->trigger(); }, {strings.menuChecking, false}},
      {"nothing found", [&] { delegate.updaterDidNotFindUpdate(updater()); }, {strings.menuCheckUpdate}},
      {"check again", [&] { openMenu().at(3)->trigger(); }, {strings.menuChecking, false}},
      {"download starts", [&] { delegate.updaterWillDownloadUpdate(updater(), {}, {}); }, {strings.menuDownloading, false}},
      {"download done", [&] { delegate.updaterDidDownloadUpdate(updater(), {}); }, {strings.menuCheckUpdate}},
      {"third check", [&] { openMenu().at(3)->trigger(); }, {strings.menuChecking, false}},
      {"second download", [&] { delegate.updaterWillDownloadUpdate(updater(), {}, {}); }, {strings.menuDownloading, false}},
      {"download failed", [&] { delegate.updaterFailedToDownloadUpdate(updater(), {}, QStringLiteral("x")); },
       {strings.menuCheckUpdate}},
      {"fourth check", [&] { openMenu().at(3)->trigger(); }, {strings.menuChecking, false}},
      {"aborted", [&] { delegate.updaterDidAbortWithError(updater(), QStringLiteral("x")); }, {strings.menuCheckUpdate}},
  };
  for (const auto& step : steps) {
    step.act();
    EXPECT_EQ(updateItem(), step.expected) << step.step;
  }
  // One updater, made on the first check; one check per menu choice.
  ASSERT_EQ(updaters.size(), 1);
  EXPECT_EQ(updaters.first()->checks, 4);
}

TEST_F(StatusMenuTest, CrashItemUploadsThePendingReportsOnceAndCountsThem) {
  const AppStrings& strings = currentStrings();
  signIn();
  savePendingReports(3);
  ScriptedResponse slow = ScriptedResponse::json(200, "{}");
  slow.delay = std::chrono::milliseconds(20);  // within the (scaled) 100 ms time-out
  service.route("POST", apiPath("/logs/report"), slow);
  EXPECT_EQ(crashItem(), (Item{strings.menuUploadCrashLogs(3)}));
  LogCapture log;

  openMenu().at(4)->trigger();
  EXPECT_EQ(delegate.crashUploadState(), AppDelegate::CrashUploadState::uploading);
  EXPECT_EQ(crashItem(), (Item{strings.menuCrashUploading, false}));
  delegate.uploadCrashLogs();  // a second choice while uploading does nothing

  ASSERT_TRUE(waitUntil([&] { return delegate.crashUploadState() == AppDelegate::CrashUploadState::idle; }));
  EXPECT_EQ(service.requestCount(), 3);
  EXPECT_EQ(crashItem(), (Item{strings.menuCrashNoLog, false}));
  EXPECT_TRUE(log.contains(QStringLiteral("AppDelegate"), QtInfoMsg, QStringLiteral("Crash logs uploaded: 3")));
}

TEST_F(StatusMenuTest, CrashItemWhileSignedOutShowsTheMainWindowAndSendsNothing) {
  savePendingReports(1);
  QWidget mainWindow;
  openMenu().at(4)->trigger();
  EXPECT_TRUE(mainWindow.isVisible());
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::regular);
  EXPECT_EQ(delegate.crashUploadState(), AppDelegate::CrashUploadState::idle);
  waitUntil([] { return false; }, std::chrono::milliseconds(100));
  EXPECT_EQ(service.requestCount(), 0);
  EXPECT_EQ(CrashReporter::shared().pendingReports().size(), 1);
}

TEST_F(StatusMenuTest, PermissionsItemShowsTheMainWindowThenThePermissionWindow) {
  QWidget mainWindow;
  openMenu().at(2)->trigger();
  EXPECT_TRUE(mainWindow.isVisible());
  EXPECT_EQ(PermissionWindowManager::shared().window(), nullptr);
  ASSERT_TRUE(waitUntil([] { return PermissionWindowManager::shared().window() != nullptr; }));
  EXPECT_TRUE(PermissionWindowManager::shared().window()->isVisible());
}

TEST_F(StatusMenuTest, IconFollowsTheRecorder) {
  StatusItem* item = delegate.statusItem();
  EXPECT_FALSE(item->recordingIcon());
  Q_EMIT AppEvents::shared().audioRecorderStateChanged(true);
  EXPECT_TRUE(item->recordingIcon());
  Q_EMIT AppEvents::shared().audioRecorderStateChanged(false);
  EXPECT_FALSE(item->recordingIcon());
}

}  // namespace
