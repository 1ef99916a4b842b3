#include "app/appdelegate.h"
#include "app/statusitem.h"
#include "app/updater.h"

#include "appshelltest.h"
#include "core/appevents.h"
#include "diagnostics/crashreporter.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/permissionwindowmanager.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>

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

  // Opens the menu as a click would: built anew from the current state.
  QList<QAction*> openMenu() {
    Q_EMIT delegate.statusItem()->menu()->aboutToShow();
    return delegate.statusItem()->menu()->actions();
  }
  // "---" for a separator, "(off)" after a disabled item.
  QStringList items() {
    QStringList shown;
    for (QAction* action : openMenu()) {
      shown << (action->isSeparator() ? QStringLiteral("---")
                                      : action->text() + (action->isEnabled() ? "" : " (off)"));
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
  AppDelegate delegate;
  QList<FakeUpdater*> updaters;  // made by the delegate, which owns them
};

TEST_F(StatusMenuTest, ItemsInOrderInTheLanguageOfTheMomentTheMenuOpens) {
  for (AppLanguage language : {AppLanguage::en, AppLanguage::ko}) {
    LanguageManager::shared().setCurrent(language);
    const AppStrings& s = currentStrings();
    EXPECT_EQ(items(), (QStringList{s.menuShowMain, "---", s.menuPermissions, s.menuCheckUpdate,
                                    s.menuCrashNoLog + " (off)", "---", s.menuQuit}));
  }
  EXPECT_EQ(openMenu().last()->shortcut(), QKeySequence(QKeySequence::Quit));

  // The icon shows the recording image while the recorder runs.
  const auto image = [&] { return delegate.statusItem()->trayIcon()->icon().pixmap(22).toImage(); };
  const QImage idle = image();
  Q_EMIT AppEvents::shared().audioRecorderStateChanged(true);
  EXPECT_NE(image(), idle);
  Q_EMIT AppEvents::shared().audioRecorderStateChanged(false);
  EXPECT_EQ(image(), idle);
}

// While a check or download runs the item cannot start another; once it has ended, either way, it can.
TEST_F(StatusMenuTest, UpdateItemFollowsTheUpdatersReports) {
  const AppStrings& s = currentStrings();
  const auto updater = [&]() -> Updater& { return *updaters.first(); };
  const auto check = [&] { openMenu().at(3)->trigger(); };
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
  openMenu().at(4)->trigger();
  EXPECT_TRUE(mainWindow.isVisible());
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::regular);
  EXPECT_EQ(delegate.crashUploadState(), AppDelegate::CrashUploadState::idle);
  mainWindow.hide();
  openMenu().at(2)->trigger();
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
  openMenu().at(4)->trigger();
  EXPECT_EQ(items().value(4), s.menuCrashUploading + " (off)");
  delegate.uploadCrashLogs();  // a second choice while uploading does nothing
  ASSERT_TRUE(waitUntil([&] { return delegate.crashUploadState() == AppDelegate::CrashUploadState::idle; }));
  EXPECT_EQ(service.requestCount(), 3);
  EXPECT_EQ(items().value(4), s.menuCrashNoLog + " (off)");
}

// The idle image reads on the desktop's panel, light or dark.
TEST(StatusIcon, TheIdleImageStandsOutOnLightAndDarkPanels) {
  const QPalette original = QGuiApplication::palette();
  for (const QColor& panel : {QColor(239, 239, 239), QColor(42, 42, 42)}) {
    QPalette palette(panel);
    palette.setColor(QPalette::WindowText, panel.lightness() > 128 ? Qt::black : Qt::white);
    QGuiApplication::setPalette(palette);
    StatusItem item;
    item.updateStatusIcon(false);
    const QImage idle = item.trayIcon()->icon().pixmap(22).toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0, weight = 0;
    for (int y = 0; y < idle.height(); ++y) {
      for (int x = 0; x < idle.width(); ++x) {
        sum += idle.pixelColor(x, y).lightnessF() * idle.pixelColor(x, y).alphaF();
        weight += idle.pixelColor(x, y).alphaF();
      }
    }
    ASSERT_GT(weight, 0) << "the idle image is empty";
    EXPECT_GT(std::abs(sum / weight - panel.lightnessF()), 0.4) << panel.name().toStdString();
  }
  QGuiApplication::setPalette(original);
}

}  // namespace
