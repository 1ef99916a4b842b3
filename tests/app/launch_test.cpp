#include "app/appdelegate.h"

#include "app/singleinstance.h"
#include "app/statusitem.h"
#include "appshelltest.h"
#include "core/tracelog.h"
#include "core/userdefaults.h"
#include "diagnostics/crashreporter.h"
#include "filemode.h"
#include "onboarding/onboardingmanager.h"
#include "pipeline/audiorecorder.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "tracelines.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QWidget>

#include <sys/stat.h>

namespace {

using LaunchTest = AppShellTest;

// A marker the signal handler of an earlier run would have left.
QString leaveCrashMarker() {
  const QString path = CrashReporter::markersDirectory() + QStringLiteral("/1700000000.crashmarker");
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("SIGNAL=SIGSEGV\nTIME=1700000000\n");
  return path;
}

QString firstTraceLine() {
  return QStringLiteral("applicationDidFinishLaunching: activationPolicy -> accessory, tracePath=") + traceFilePath();
}

TEST_F(LaunchTest, ASecondCopyBringsTheFirstForwardAndTouchesNothing) {
  SingleInstance running;
  ASSERT_TRUE(running.claim());
  QSignalSpy activations(&running, &SingleInstance::activationRequested);
  trace(QStringLiteral("the running copy's line"));
  const QString marker = leaveCrashMarker();

  AppDelegate delegate;
  bool servicesInstalled = false;
  delegate.setServicesInstaller([&] { servicesInstalled = true; });
  delegate.applicationWillFinishLaunching();
  EXPECT_FALSE(delegate.applicationDidFinishLaunching());

  EXPECT_TRUE(waitUntil([&] { return activations.count() == 1; }));
  EXPECT_FALSE(servicesInstalled);
  EXPECT_EQ(delegate.statusItem(), nullptr);
  EXPECT_EQ(traceLines(), QStringList{QStringLiteral("the running copy's line")});
  EXPECT_TRUE(QFile::exists(marker));
  EXPECT_TRUE(CrashReporter::shared().pendingReports().isEmpty());
}

TEST_F(LaunchTest, LaunchStepsRunInOrderAndListenOnlyFromTheStartupTasks) {
  trace(QStringLiteral("the previous run's line"));
  leaveCrashMarker();
  AppDelegate delegate;
  QStringList seenAtInstall;
  delegate.setServicesInstaller([&] {
    // Crash capture and the trace are in place before the services start.
    seenAtInstall = traceLines();
    EXPECT_EQ(CrashReporter::shared().pendingReports().size(), 1);
  });

  delegate.applicationWillFinishLaunching();
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::prohibited);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());

  EXPECT_EQ(seenAtInstall, QStringList{firstTraceLine()});
  EXPECT_EQ(traceLines().value(0), firstTraceLine());
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::accessory);
  EXPECT_EQ(PermissionManager::shared().accessibilityStatus(), PermissionStatus::granted);
  // The quiet check only looks; the listener starts with the first refresh.
  EXPECT_EQ(tap.starts, 0);
  ASSERT_NE(delegate.statusItem(), nullptr);
  EXPECT_EQ(service.requestCount(), 0);
}

// Signed out, the start-up tasks refresh the permissions, fetch the start-up
// configuration and show the window; nothing of an account is fetched,
// loaded or reported.
TEST_F(LaunchTest, SignedOutStartupFetchesOnlyTheStartupConfigurationAndShowsTheWindow) {
  AppDelegate delegate;
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  QWidget window;
  window.winId();
  QSignalSpy onboardingLooks(&OnboardingManager::shared(), &OnboardingManager::shouldShowOnboardingChanged);

  delegate.startupTasks();
  EXPECT_EQ(onboardingLooks.count(), 0);
  EXPECT_EQ(tap.starts, 1);
  EXPECT_TRUE(HotKeyManager::shared().isListening());
  EXPECT_TRUE(waitUntil([&] { return window.isVisible(); }));
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::regular);
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() >= 1; }));
  // The launch report would have gone 2 s (here 20 ms) after the start.
  waitUntil([] { return false; }, std::chrono::milliseconds(200));
  EXPECT_EQ(requestedPaths(), QList<QByteArray>{apiPath("/config/startup")});
  EXPECT_TRUE(AuthStore::shared().inviteCodeEnabled());
}

TEST_F(LaunchTest, SignedInStartupLoadsTheAccountAndReportsTheLaunchAfterwards) {
  signIn();
  // A record on disk that only a load brings into memory.
  HistoryStore& history = HistoryStore::shared();
  history.load();
  RecordingHistory record;
  record.id = QStringLiteral("R1");
  record.createdAt = Clock::now();
  record.operation = QStringLiteral("transcribe");
  history.addRecord(record);
  history.clearRecords();
  ASSERT_TRUE(history.records().isEmpty());
  leaveCrashMarker();

  AppDelegate delegate;
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  QSignalSpy onboardingLooks(&OnboardingManager::shared(), &OnboardingManager::shouldShowOnboardingChanged);
  delegate.startupTasks();
  // Whether onboarding is due is known before the window is first shown.
  EXPECT_EQ(onboardingLooks.count(), 1);
  EXPECT_TRUE(OnboardingManager::shared().shouldShowOnboarding());

  ASSERT_TRUE(waitUntil([&] { return service.requestCount() >= 5; }, std::chrono::seconds(10)));
  ASSERT_TRUE(waitUntil([&] { return history.records().size() == 1; }));
  const QList<QByteArray> paths = requestedPaths();
  // The three fetches go out at once, in any order; the launch report and the
  // pending crash report follow.
  EXPECT_EQ(QSet<QByteArray>(paths.begin(), paths.begin() + 3),
            (QSet<QByteArray>{apiPath("/config/startup"), apiPath("/config/recording"), apiPath("/config/plan")}));
  EXPECT_EQ(paths.mid(3), (QList<QByteArray>{apiPath("/logs/report"), apiPath("/logs/report")}));
  const QList<RecordedRequest> requests = service.requests();
  EXPECT_TRUE(requests[3].body.contains("AppLaunch"));
  EXPECT_TRUE(requests[4].body.contains("\"Crash\""));
  EXPECT_TRUE(waitUntil([] { return CrashReporter::shared().pendingReports().isEmpty(); }));
  EXPECT_EQ(AudioRecorder::shared().maxDuration(), 90.0);
  EXPECT_EQ(AuthStore::shared().creditsRemaining(), 40);
}

// An older release left its files readable by every user of the machine:
// the first start that writes them again makes them the user's alone.
TEST_F(LaunchTest, AStartLeavesTheFilesWithTheUsersWordsReadableByThemAlone) {
  ::umask(022);
  signIn();
  HistoryStore& history = HistoryStore::shared();
  history.load();
  RecordingHistory record;
  record.id = QStringLiteral("R1");
  record.createdAt = Clock::now();
  record.operation = QStringLiteral("transcribe");
  record.status = RecognitionStatus::processing;  // the load turns it into a failure and saves
  record.selectedText = QStringLiteral("the user's words");
  history.addRecord(record);
  history.clearRecords();
  trace(QStringLiteral("the previous run's line"));
  traceLines();
  const QString settingsFile = UserDefaults::shared().filePath();
  const QString historyFile = HistoryStore::historyDirectoryURL(QStringLiteral("user@example.com")) +
                              QStringLiteral("/recording_history.json");
  for (const QString& path : {settingsFile, historyFile, traceFilePath()}) {
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0) << path.toStdString();
  }
  leaveCrashMarker();

  AppDelegate delegate;
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  delegate.startupTasks();
  ASSERT_TRUE(waitUntil([] { return AuthStore::shared().creditsRemaining() == 40; }, std::chrono::seconds(10)));
  ASSERT_TRUE(waitUntil([] { return CrashReporter::shared().pendingReports().isEmpty(); }, std::chrono::seconds(10)));
  ASSERT_TRUE(waitUntil([&] { return history.records().value(0).status == RecognitionStatus::failed; }));

  QStringList files{settingsFile, historyFile, traceFilePath()};
  const QDir reports(CrashReporter::reportsDirectory());
  for (const QString& name : reports.entryList(QDir::Files)) files << reports.filePath(name);
  ASSERT_EQ(files.size(), 4);  // the crash's report, sent and marked
  for (const QString& path : files) EXPECT_EQ(fileMode(path), 0600) << path.toStdString();
}

}  // namespace
