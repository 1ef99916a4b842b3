#include "app/appdelegate.h"

#include "app/appcastupdater.h"
#include "core/appevents.h"
#include "core/clock.h"
#include "core/logging.h"
#include "core/tracelog.h"
#include "diagnostics/crashreporter.h"
#include "diagnostics/logreporter.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/applicationwindows.h"
#include "mainwindow/configfetcher.h"
#include "mainwindow/permissionwindowmanager.h"
#include "onboarding/onboardingmanager.h"
#include "pipeline/historystore.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionmanager.h"
#include "platform/idlesleepinhibitor.h"
#include "platform/windowactivator.h"
#include "service/authstore.h"

#include <QCoreApplication>
#include <QCoroTimer>
#include <QEvent>
#include <QKeySequence>
#include <QTimer>
#include <QWidget>

AppDelegate::AppDelegate(QObject* parent) : QObject(parent), makeUpdater_(&AppcastUpdater::make) {}

AppDelegate::~AppDelegate() = default;

// ---- Launch ----

void AppDelegate::applicationWillFinishLaunching() {
  // Nothing is on screen before launch has finished, so "no presence" needs
  // no action here; the policy is recorded for the sequence's sake.
  setActivationPolicy(ActivationPolicy::prohibited);
}

bool AppDelegate::applicationDidFinishLaunching() {
  // A second copy brings the running one forward and goes no further: no
  // crash capture, no trace, no tray icon of its own.
  if (!instance_.claim()) {
    instance_.activateRunningCopy();
    return false;
  }
  connect(&instance_, &SingleInstance::activationRequested, this, [this] { applicationShouldHandleReopen(); });

  // Crash capture first, so that the rest of the start-up is covered, and the
  // previous run's crashes are on record before its trace is emptied.
  CrashReporter::shared().install();
  CrashReporter::shared().processCrashMarkers();

  clearTrace();
  trace(QStringLiteral("applicationDidFinishLaunching: activationPolicy -> accessory, tracePath=") + traceFilePath());

  if (installServices_) installServices_();

  setActivationPolicy(ActivationPolicy::accessory);
  PermissionManager::shared().checkAccessibilityQuietly();
  // A machine gone to sleep answers no hotkey: idle sleep stays away for the
  // life of the process.
  backgroundActivity_ =
      IdleSleepInhibitor::current().holdOff(QStringLiteral("Veltrine needs to listen for global hotkeys at all times"));
  setupStatusItem();

  // The main window's close button reaches the delegate once the window exists.
  QPointer<AppDelegate> self(this);
  QTimer::singleShot(Clock::scaledMs(500), this, [self] {
    if (!self) return;
    if (QWidget* window = mainWindow()) {
      if (self->watchedWindow_) self->watchedWindow_->removeEventFilter(self);
      self->watchedWindow_ = window;
      window->installEventFilter(self);
      // Only the quit event is looked at there (eventFilter).
      QCoreApplication::instance()->installEventFilter(self);
    }
  });
  return true;
}

bool AppDelegate::applicationShouldHandleReopen() {
  showMainWindow();
  return true;
}

// ---- Start-up tasks ----

void AppDelegate::startupTasks() {
  PermissionManager::shared().refresh();
  auto startup = fetchStartupConfig();
  if (AuthStore::shared().isSignedIn()) {
    OnboardingManager::shared().refresh();
    auto recording = fetchRecordingConfig();
    auto plan = fetchUserPlanInfo();
    QMetaObject::invokeMethod(
        this,
        [] {
          HistoryStore::shared().load();
          HotKeyManager::shared().loadConfigs();
        },
        Qt::QueuedConnection);
    auto report = sendLaunchReport();
  }
  QTimer::singleShot(Clock::scaledMs(100), this, &AppDelegate::showMainWindow);
}

QCoro::Task<void> AppDelegate::sendLaunchReport() {
  co_await QCoro::sleepFor(Clock::scaled(std::chrono::seconds(2)));
  LogReporter::shared().logSnapshot(QStringLiteral("AppLaunch"));
  co_await LogReporter::shared().flush();
  co_await CrashReporter::shared().uploadPendingReports();
}

QCoro::Task<void> AppDelegate::fetchStartupConfig() { return ConfigFetcher::fetchStartupConfig(); }
QCoro::Task<void> AppDelegate::fetchRecordingConfig() { return ConfigFetcher::fetchRecordingConfig(); }
QCoro::Task<void> AppDelegate::fetchUserPlanInfo() { return ConfigFetcher::fetchUserPlanInfo(); }

// ---- Main window ----

QWidget* AppDelegate::mainWindow() {
  for (QWidget* window : ApplicationWindows::all()) {
    if (window->windowTitle() == PermissionWindowManager::kWindowTitle) continue;
    if (ApplicationWindows::isPanel(window)) continue;
    return window;
  }
  return nullptr;
}

void AppDelegate::showMainWindow() {
  setActivationPolicy(ActivationPolicy::regular);
  activateMainWindow();
}

void AppDelegate::activateMainWindow() {
  QWidget* window = mainWindow();
  if (!window) return;
  // Showing, raising and activating leave a minimised window minimised, and
  // one on another workspace out of sight: the window manager is asked to
  // bring it here and restore it too, before Qt's own activation: where that
  // is granted, it takes the user to the window's workspace (mutter does).
  WindowActivator::current().activateHere(window->winId());
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
}

bool AppDelegate::windowShouldClose() {
  // Only the main window goes; the desktop has no "hide the application"
  // that would take the other windows with it.
  if (QWidget* window = mainWindow()) window->hide();
  setActivationPolicy(ActivationPolicy::accessory);
  return false;
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event) {
  // Quitting closes every window before the loop ends, and one refusal calls
  // the quit off: the program would run on without its window. So while a
  // quit is under way the main window's close goes through.
  if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
    quitting_ = true;
    // A quit that something else calls off leaves the close rule as it was.
    QTimer::singleShot(0, this, [this] { quitting_ = false; });
    return false;
  }
  if (event->type() == QEvent::Close && watched == watchedWindow_ && !quitting_) {
    event->ignore();
    windowShouldClose();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void AppDelegate::setActivationPolicy(ActivationPolicy policy) {
  if (policy_ == policy) return;
  policy_ = policy;
  Q_EMIT activationPolicyChanged();
}

// ---- Tray ----

void AppDelegate::setupStatusItem() {
  if (statusItem_) return;
  statusItem_ = new StatusItem(this);
  updateStatusIcon(false);
  statusItem_->setMenuBuilder([this] { return buildStatusMenu(); });
  connect(&AppEvents::shared(), &AppEvents::audioRecorderStateChanged, this,
          [this](bool recording) { updateStatusIcon(recording); });
  // The tray holds the menu as it stands; every change reaches it at once.
  for (const auto& change : {&AppDelegate::updateStateChanged, &AppDelegate::crashUploadStateChanged}) {
    connect(this, change, statusItem_, &StatusItem::refreshMenu);
  }
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, statusItem_, &StatusItem::refreshMenu);
  connect(&CrashReporter::shared(), &CrashReporter::pendingReportsChanged, statusItem_, &StatusItem::refreshMenu);
  statusItem_->show();
}

void AppDelegate::updateStatusIcon(bool recording) {
  if (statusItem_) statusItem_->updateStatusIcon(recording);
}

void AppDelegate::showStatusMenu() {
  if (statusItem_) statusItem_->popUpMenu();
}

QList<StatusItem::Entry> AppDelegate::buildStatusMenu() {
  const AppStrings& strings = currentStrings();
  const auto item = [](const QString& title, bool enabled, std::function<void()> action) {
    return StatusItem::Entry{{title, enabled, {}}, enabled ? std::move(action) : nullptr};
  };
  const StatusItem::Entry separator;

  QString updateTitle = strings.menuCheckUpdate;
  if (updateState_ == UpdateState::checking) updateTitle = strings.menuChecking;
  if (updateState_ == UpdateState::downloading) updateTitle = strings.menuDownloading;

  const qsizetype pending = CrashReporter::shared().pendingReports().size();
  const bool uploading = crashUploadState_ == CrashUploadState::uploading;
  QString crashTitle = strings.menuCrashNoLog;
  if (uploading) {
    crashTitle = strings.menuCrashUploading;
  } else if (pending > 0) {
    crashTitle = strings.menuUploadCrashLogs(pending);
  }

  StatusItem::Entry quit = item(strings.menuQuit, true, [this] { quitApp(); });
  quit.shown.shortcut = QKeySequence(QKeySequence::Quit);
  return {item(strings.menuShowMain, true, [this] { showMainWindow(); }),
          separator,
          item(strings.menuPermissions, true, [this] { openPermissions(); }),
          item(updateTitle, updateState_ == UpdateState::idle, [this] { checkForUpdates(); }),
          item(crashTitle, pending > 0 && !uploading, [this] { uploadCrashLogs(); }),
          separator,
          quit};
}

void AppDelegate::openPermissions() {
  showMainWindow();
  QTimer::singleShot(Clock::scaledMs(200), &PermissionWindowManager::shared(),
                     [] { PermissionWindowManager::shared().show(); });
}

void AppDelegate::quitApp() { QCoreApplication::quit(); }

// ---- Crash reports ----

void AppDelegate::uploadCrashLogs() {
  if (crashUploadState_ == CrashUploadState::uploading) return;
  if (!AuthStore::shared().isSignedIn()) {
    // The main window shows the sign-in; reports go once someone is signed in.
    showMainWindow();
    return;
  }
  setCrashUploadState(CrashUploadState::uploading);
  auto upload = runCrashUpload();
}

QCoro::Task<void> AppDelegate::runCrashUpload() {
  QPointer<AppDelegate> self(this);
  const int sent = co_await CrashReporter::shared().uploadPendingReports();
  if (!self) co_return;
  setCrashUploadState(CrashUploadState::idle);
  if (sent > 0) qCInfo(lcAppDelegate, "Crash logs uploaded: %d", sent);
}

void AppDelegate::setCrashUploadState(CrashUploadState state) {
  if (crashUploadState_ == state) return;
  crashUploadState_ = state;
  Q_EMIT crashUploadStateChanged();
}

// ---- Updates ----

void AppDelegate::checkForUpdates() {
  setUpdateState(UpdateState::checking);
  if (!updaterController_) updaterController_ = makeUpdater_(*this);
  updaterController_->checkForUpdates();
}

void AppDelegate::updaterDidNotFindUpdate(Updater&) { setUpdateState(UpdateState::idle); }

void AppDelegate::updaterWillDownloadUpdate(Updater&, const AppcastItem&, const QNetworkRequest&) {
  setUpdateState(UpdateState::downloading);
}

// A finished download ends the check too: the item offers a new check again
// (the release itself is handed to the user by the updater's driver).
void AppDelegate::updaterDidDownloadUpdate(Updater&, const AppcastItem&) { setUpdateState(UpdateState::idle); }

void AppDelegate::updaterDidAbortWithError(Updater&, const QString& error) {
  qCInfo(lcAppDelegate).noquote() << "update check ended:" << error;
  setUpdateState(UpdateState::idle);
}

void AppDelegate::updaterFailedToDownloadUpdate(Updater&, const AppcastItem&, const QString& error) {
  qCInfo(lcAppDelegate).noquote() << "update download failed:" << error;
  setUpdateState(UpdateState::idle);
}

void AppDelegate::setUpdateState(UpdateState state) {
  if (updateState_ == state) return;
  updateState_ = state;
  Q_EMIT updateStateChanged();
}
