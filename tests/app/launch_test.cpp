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
#include "testenvironment.h"
#include "tracelines.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QWidget>

#include <sys/stat.h>

#include <algorithm>

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

// A record on disk that only a load brings into memory.
void leaveHistoryRecord(RecognitionStatus status) {
  HistoryStore& history = HistoryStore::shared();
  history.load();
  RecordingHistory record;
  record.id = QStringLiteral("R1");
  record.createdAt = Clock::now();
  record.operation = QStringLiteral("transcribe");
  record.status = status;
  record.selectedText = QStringLiteral("the user's words");
  history.addRecord(record);
  history.clearRecords();
}

// A second copy (also in a folder too deep for a socket path) brings the first forward, touching nothing.
TEST_F(LaunchTest, ASecondCopyBringsTheFirstForwardAndTouchesNothing) {
  const QString deep = TestEnvironment::root() + u'/' + QString(120, u'd');
  ASSERT_TRUE(QDir().mkpath(deep + QStringLiteral("/other")));
  SingleInstance deepFirst(deep);
  ASSERT_TRUE(deepFirst.claim());
  QSignalSpy deepActivations(&deepFirst, &SingleInstance::activationRequested);
  SingleInstance deepSecond(deep);
  EXPECT_FALSE(deepSecond.claim());
  EXPECT_TRUE(deepSecond.activateRunningCopy());
  EXPECT_TRUE(waitUntil([&] { return deepActivations.count() == 1; }));
  EXPECT_TRUE(SingleInstance(deep + QStringLiteral("/other")).claim());

  auto running = std::make_unique<SingleInstance>();
  ASSERT_TRUE(running->claim());
  QSignalSpy activations(running.get(), &SingleInstance::activationRequested);
  trace(QStringLiteral("the running copy's line"));
  const QString marker = leaveCrashMarker();
  AppDelegate delegate;
  bool servicesInstalled = false;
  delegate.setServicesInstaller([&] { servicesInstalled = true; });
  delegate.applicationWillFinishLaunching();
  EXPECT_FALSE(delegate.applicationDidFinishLaunching());
  EXPECT_TRUE(waitUntil([&] { return activations.count() == 1; }));
  EXPECT_FALSE(servicesInstalled);
  EXPECT_TRUE(idleSleep.reasons.isEmpty());
  EXPECT_EQ(delegate.statusItem(), nullptr);
  EXPECT_EQ(traceLines(), QStringList{QStringLiteral("the running copy's line")});
  EXPECT_TRUE(QFile::exists(marker));
  EXPECT_TRUE(CrashReporter::shared().pendingReports().isEmpty());
  running.reset();  // the lock goes with its holder
  EXPECT_TRUE(SingleInstance().claim());
}

// The launch steps run in order and listen only from the start-up tasks; signed out, these fetch only
// the start-up configuration and show the window.
TEST_F(LaunchTest, SignedOutLaunchRunsInOrderFetchesOnlyTheStartupConfigurationAndShowsTheWindow) {
  trace(QStringLiteral("the previous run's line"));
  leaveCrashMarker();
  AppDelegate delegate;
  QStringList seenAtInstall;
  delegate.setServicesInstaller([&] {  // crash capture and a new trace are in place first
    seenAtInstall = traceLines();
    EXPECT_EQ(CrashReporter::shared().pendingReports().size(), 1);
  });
  delegate.applicationWillFinishLaunching();
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::prohibited);
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  EXPECT_EQ(seenAtInstall.size(), 1);
  EXPECT_EQ(traceLines().value(0), seenAtInstall.value(0));
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::accessory);
  EXPECT_EQ(PermissionManager::shared().accessibilityStatus(), PermissionStatus::granted);
  EXPECT_EQ(tap.starts, 0);  // the quiet check only looks
  EXPECT_EQ(idleSleep.reasons, QStringList{QStringLiteral("Veltrine needs to listen for global hotkeys at all times")});
  ASSERT_NE(delegate.statusItem(), nullptr);
  EXPECT_EQ(service.requestCount(), 0);

  QWidget window;
  window.winId();
  QSignalSpy onboardingLooks(&OnboardingManager::shared(), &OnboardingManager::shouldShowOnboardingChanged);
  delegate.startupTasks();
  EXPECT_EQ(tap.starts, 1);
  EXPECT_TRUE(HotKeyManager::shared().isListening());
  EXPECT_TRUE(waitUntil([&] { return window.isVisible(); }));
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::regular);
  ASSERT_TRUE(waitUntil([] { return AuthStore::shared().inviteCodeEnabled(); }));
  EXPECT_EQ(requestedPaths(), QList<QByteArray>{apiPath("/config/startup")});
  EXPECT_EQ(onboardingLooks.count(), 0);
  EXPECT_EQ(idleSleep.heldNow, 1);  // for the life of the process
}

// Signed in, the account loads, the launch and crash reports follow, and files an older release left
// readable by everyone become the user's alone.
TEST_F(LaunchTest, SignedInStartupLoadsTheAccountReportsAfterwardsAndKeepsTheFilesPrivate) {
  ::umask(022);
  signIn();
  leaveHistoryRecord(RecognitionStatus::processing);  // the load turns it into a failure and saves
  trace(QStringLiteral("the previous run's line"));
  traceLines();
  const QString historyFile = HistoryStore::historyDirectoryURL(QStringLiteral("user@example.com")) +
                              QStringLiteral("/recording_history.json");
  QStringList files{UserDefaults::shared().filePath(), historyFile, traceFilePath()};
  for (const QString& path : files) ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
  leaveCrashMarker();

  AppDelegate delegate;
  ASSERT_TRUE(delegate.applicationDidFinishLaunching());
  QSignalSpy onboardingLooks(&OnboardingManager::shared(), &OnboardingManager::shouldShowOnboardingChanged);
  delegate.startupTasks();
  EXPECT_EQ(onboardingLooks.count(), 1);  // known before the window first shows
  ASSERT_TRUE(waitUntil([&] { return service.requestCount() >= 5; }, std::chrono::seconds(10)));
  ASSERT_TRUE(waitUntil([] { return HistoryStore::shared().records().value(0).status == RecognitionStatus::failed; }));
  ASSERT_TRUE(waitUntil([] { return CrashReporter::shared().pendingReports().isEmpty(); }, std::chrono::seconds(10)));
  QList<QByteArray> paths = requestedPaths();
  EXPECT_TRUE(paths.value(0).startsWith(apiPath("/config/")));
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, (QList<QByteArray>{apiPath("/config/plan"), apiPath("/config/recording"),
                                      apiPath("/config/startup"), apiPath("/logs/report"), apiPath("/logs/report")}));
  QByteArray bodies;
  for (const RecordedRequest& request : service.requests()) bodies += request.body;
  EXPECT_EQ(bodies.count("AppLaunch"), 1);
  EXPECT_EQ(bodies.count("\"Crash\""), 1);
  EXPECT_EQ(AudioRecorder::shared().maxDuration(), 90.0);
  EXPECT_EQ(AuthStore::shared().creditsRemaining(), 40);

  const QDir reports(CrashReporter::reportsDirectory());
  for (const QString& name : reports.entryList(QDir::Files)) files << reports.filePath(name);
  ASSERT_EQ(files.size(), 4);  // the crash's report, sent and marked
  for (const QString& path : files) EXPECT_EQ(fileMode(path), 0600) << path.toStdString();
}

}  // namespace
