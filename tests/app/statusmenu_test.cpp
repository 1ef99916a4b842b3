#include "app/appdelegate.h"
#include "app/statusitem.h"
#include "app/updater.h"

#include "appshelltest.h"
#include "core/appevents.h"
#include "diagnostics/crashreporter.h"
#include "fakestatusicon.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/permissionwindowmanager.h"

#include <QWidget>

namespace {

// An updater that only counts the checks; the test plays the updater's part.
class FakeUpdater final : public Updater {
 public:
  void checkForUpdates() override { ++checks; }
  int checks = 0;
};

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
  ~StatusMenuTest() override { LanguageManager::shared().setCurrent(language); }

  FakeStatusIcon& tray() { return static_cast<FakeStatusIcon&>(delegate.statusItem()->icon()); }
  // Opens the menu as a click would.
  const StatusIcon::Menu& openMenu() { return tray().open(); }
  // What the tray holds, unopened: "---" for a separator, "(off)" after a disabled item.
  QStringList items() {
    QStringList shown;
    for (const StatusIcon::MenuEntry& entry : tray().menu) {
      shown << (entry.isSeparator() ? QStringLiteral("---") : entry.title + (entry.enabled ? "" : " (off)"));
    }
    return shown;
  }
  static void savePendingReports(int count) {
    for (int i = 0; i < count; ++i) {
      CrashReport report;
      report.id = QStringLiteral("R%1").arg(i);
      report.timestamp = QStringLiteral("2026-01-01T00:00:0%1Z").arg(i);
      report.signal = QStringLiteral("SIGSEGV");
      CrashReporter::shared().save(report);
    }
  }

  const AppLanguage language = LanguageManager::shared().current();
  FakeStatusIcon::Installed fakeTray;
  AppDelegate delegate;
  QList<FakeUpdater*> updaters;  // made by the delegate, which owns them
};

// The tray holds the whole menu from the start and each change as it happens,
// without waiting for an opening.
TEST_F(StatusMenuTest, TheTrayHoldsTheCurrentMenuBeforeItOpens) {
  ASSERT_TRUE(tray().shown);
  for (AppLanguage language : {AppLanguage::en, AppLanguage::ko}) {
    LanguageManager::shared().setCurrent(language);
    const AppStrings& s = currentStrings();
    EXPECT_EQ(items(), (QStringList{s.menuShowMain, "---", s.menuPermissions, s.menuCheckUpdate,
                                    s.menuCrashNoLog + " (off)", "---", s.menuQuit}));
  }
  EXPECT_EQ(tray().menu.last().shortcut, QKeySequence(QKeySequence::Quit));
  savePendingReports(2);
  EXPECT_EQ(items().value(4), currentStrings().menuUploadCrashLogs(2));
  CrashReporter::shared().markReported(QStringLiteral("R0"));
  EXPECT_EQ(items().value(4), currentStrings().menuUploadCrashLogs(1));
  // Reports gone behind the reporter's back show at the next opening.
  clearCrashes();
  EXPECT_EQ(openMenu().value(4).title, currentStrings().menuCrashNoLog);

  // The icon shows the recording image while the recorder runs.
  Q_EMIT AppEvents::shared().audioRecorderStateChanged(true);
  EXPECT_TRUE(tray().recording);
  Q_EMIT AppEvents::shared().audioRecorderStateChanged(false);
  EXPECT_FALSE(tray().recording);
}

// While a check or download runs the item cannot start another; once it has ended, either way, it can.
TEST_F(StatusMenuTest, UpdateItemFollowsTheUpdatersReports) {
  const AppStrings& s = currentStrings();
  const auto updater = [&]() -> Updater& { return *updaters.first(); };
  const auto check = [&] { tray().choose(3); };
  const struct {
    std::function<void()> act;
    QString item;
  } steps[] = {
      {check, s.menuChecking + " (off)"},
      {[&] { delegate.updaterDidNotFindUpdate(updater()); }, s.menuCheckUpdate},
      {check, s.menuChecking + " (off)"},
      {[&] { delegate.updaterWillDownloadUpdate(updater(), {}, {}); }, s.menuDownloading + " (off)"},
      {[&] { delegate.updaterFailedToDownloadUpdate(updater(), {}, QStringLiteral("x")); }, s.menuCheckUpdate},
      {check, s.menuChecking + " (off)"},
      {[&] { delegate.updaterDidAbortWithError(updater(), QStringLiteral("x")); }, s.menuCheckUpdate},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    steps[i].act();
    EXPECT_EQ(items().value(3), steps[i].item) << "step " << i;
  }
  ASSERT_EQ(updaters.size(), 1);  // made on the first check
  EXPECT_EQ(updaters.first()->checks, 3);
}

// Signed out, the crash and permission items show the main window and send nothing; signed in, the
// crash item uploads the pending reports once and counts them.
TEST_F(StatusMenuTest, CrashAndPermissionItemsShowTheWindowOrUploadOnceWhenSignedIn) {
  const AppStrings& s = currentStrings();
  savePendingReports(3);
  QWidget mainWindow;
  tray().choose(4);
  EXPECT_TRUE(mainWindow.isVisible());
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::regular);
  EXPECT_EQ(delegate.crashUploadState(), AppDelegate::CrashUploadState::idle);
  mainWindow.hide();
  tray().choose(2);
  EXPECT_TRUE(mainWindow.isVisible());
  ASSERT_TRUE(waitUntil([] { return PermissionWindowManager::shared().window() != nullptr; }));
  EXPECT_TRUE(PermissionWindowManager::shared().window()->isVisible());
  PermissionWindowManager::shared().window()->close();
  EXPECT_EQ(service.requestCount(), 0);

  signIn();
  ScriptedResponse slow = ScriptedResponse::json(200, "{}");
  slow.delay = std::chrono::milliseconds(20);  // within the (scaled) time-out
  service.route("POST", apiPath("/logs/report"), slow);
  EXPECT_EQ(items().value(4), s.menuUploadCrashLogs(3));
  tray().choose(4);
  EXPECT_EQ(items().value(4), s.menuCrashUploading + " (off)");
  delegate.uploadCrashLogs();  // a second choice while uploading does nothing
  ASSERT_TRUE(waitUntil([&] { return delegate.crashUploadState() == AppDelegate::CrashUploadState::idle; }));
  EXPECT_EQ(service.requestCount(), 3);
  EXPECT_EQ(items().value(4), s.menuCrashNoLog + " (off)");
}

}  // namespace
