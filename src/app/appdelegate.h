#pragma once

#include "app/activationpolicy.h"
#include "app/singleinstance.h"
#include "app/statusitem.h"
#include "app/updater.h"
#include "app/updaterdelegate.h"
#include "platform/idlesleepinhibitor.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QWidget;

// The program's life from launch to the first shown window, and its tray
// presence afterwards.
//
// Launch keeps a single running copy, starts crash capture and the debug
// trace, wires the desktop's services, looks at the desktop trust quietly and
// puts the icon in the tray. When the main window's content first appears the
// start-up tasks refresh the permissions (which starts the hotkey listener),
// fetch the service's configurations, load the signed-in user's history and
// hotkeys, send the launch report two seconds later and bring the main window
// forward. Closing the main window only hides it.
//
// The tray menu offers the main window, the permission window, the update
// check, the upload of pending crash reports and quitting; it is built anew
// whenever its language, the update state or the pending reports change, and
// once more as it opens. One per process, main thread only.
class AppDelegate : public QObject, public UpdaterDelegate {
  Q_OBJECT
  Q_PROPERTY(ActivationPolicy activationPolicy READ activationPolicy NOTIFY activationPolicyChanged)
  Q_PROPERTY(UpdateState updateState READ updateState NOTIFY updateStateChanged)
  Q_PROPERTY(CrashUploadState crashUploadState READ crashUploadState NOTIFY crashUploadStateChanged)

 public:
  enum class UpdateState : quint8 { idle = 0, checking = 1, downloading = 2 };
  Q_ENUM(UpdateState)
  enum class CrashUploadState : quint8 { idle = 0, uploading = 1 };
  Q_ENUM(CrashUploadState)

  explicit AppDelegate(QObject* parent = nullptr);
  ~AppDelegate() override;

  // Wiring the launch runs right after crash capture and the trace's first
  // line: the desktop's implementations and the hooks between the layers.
  void setServicesInstaller(std::function<void()> install) { installServices_ = std::move(install); }
  // How the updater is made on the first check (the appcast updater by default).
  void setUpdaterFactory(Updater::Factory factory) { makeUpdater_ = std::move(factory); }

  // Launch. False when another copy runs: it was asked to come forward and
  // this one must end without going further.
  void applicationWillFinishLaunching();
  bool applicationDidFinishLaunching();
  // The program was started again while it runs.
  bool applicationShouldHandleReopen();

  // From the main window's content appearing.
  void startupTasks();

  // The service fetches of the launch (also run by the sign-in flow, which
  // reaches them through ConfigFetcher).
  static QCoro::Task<void> fetchStartupConfig();
  static QCoro::Task<void> fetchRecordingConfig();
  static QCoro::Task<void> fetchUserPlanInfo();

  // The main window: the first window of the program that is neither the
  // permission window nor a floating panel or dialog.
  static QWidget* mainWindow();
  void showMainWindow();
  // The main window's close button: hides it; false, the window stays.
  bool windowShouldClose();

  ActivationPolicy activationPolicy() const { return policy_; }

  // Tray.
  void setupStatusItem();
  void updateStatusIcon(bool recording);
  void showStatusMenu();
  // The menu as it stands: entries in order, with what each does.
  QList<StatusItem::Entry> buildStatusMenu();
  StatusItem* statusItem() const { return statusItem_; }

  // Menu actions.
  void openPermissions();
  void checkForUpdates();
  void uploadCrashLogs();
  void quitApp();

  UpdateState updateState() const { return updateState_; }
  CrashUploadState crashUploadState() const { return crashUploadState_; }

  // UpdaterDelegate.
  void updaterDidNotFindUpdate(Updater& updater) override;
  void updaterWillDownloadUpdate(Updater& updater, const AppcastItem& item, const QNetworkRequest& request) override;
  void updaterDidDownloadUpdate(Updater& updater, const AppcastItem& item) override;
  void updaterDidAbortWithError(Updater& updater, const QString& error) override;
  void updaterFailedToDownloadUpdate(Updater& updater, const AppcastItem& item, const QString& error) override;

 Q_SIGNALS:
  void activationPolicyChanged();
  void updateStateChanged();
  void crashUploadStateChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void setActivationPolicy(ActivationPolicy policy);
  void activateMainWindow();
  void setUpdateState(UpdateState state);
  void setCrashUploadState(CrashUploadState state);
  QCoro::Task<void> runCrashUpload();
  static QCoro::Task<void> sendLaunchReport();

  SingleInstance instance_;
  std::function<void()> installServices_;
  Updater::Factory makeUpdater_;

  StatusItem* statusItem_ = nullptr;
  // Held for the life of the process, never ended.
  std::unique_ptr<IdleSleepInhibitor::Hold> backgroundActivity_;
  std::unique_ptr<Updater> updaterController_;
  UpdateState updateState_ = UpdateState::idle;
  CrashUploadState crashUploadState_ = CrashUploadState::idle;
  ActivationPolicy policy_ = ActivationPolicy::regular;
  QPointer<QWidget> watchedWindow_;
  // A quit is closing the windows (eventFilter).
  bool quitting_ = false;
};
