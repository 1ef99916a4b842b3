#pragma once

// The shared objects the pipeline's tests change, put back as a fresh test
// process has them, so that a test binary run whole passes like each of its
// tests alone: the listener stopped and holding no handler of an ended test,
// nobody signed in, no history in memory or on disk, no stored setting, no
// recording or explanation left over, the clock at its own pace. And the one
// fake service of the process: the program reads the service's origin once.

#include "fakeservice.h"

#include "core/clock.h"
#include "core/paths.h"
#include "core/tracelog.h"
#include "core/userdefaults.h"
#include "pipeline/flowalert.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionhelpdialog.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/recordingresultstore.h"
#include "service/authstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>

#include <gtest/gtest.h>

inline void resetPipelineState() {
  HotKeyManager& hotKeys = HotKeyManager::shared();
  hotKeys.start({});  // drops the handler, which may point into an ended test,
  QCoreApplication::processEvents();  // also for the presses still on their way
  hotKeys.stop();
  AuthStore& account = AuthStore::shared();
  account.setSessionHooks({});
  account.setToken(std::nullopt);
  account.setEmail(std::nullopt);
  account.setCreditsTotal(0);
  account.setCreditsRemaining(0);
  HistoryStore::shared().clearRecords();
  HistoryStore::shared().setRetentionPolicy(RetentionPolicy::forever);
  UserDefaults& defaults = UserDefaults::shared();
  for (const QString& key : defaults.keys()) defaults.remove(key);
  hotKeys.loadConfigs();  // the defaults; it stores which defaults it gave
  for (const QString& key : defaults.keys()) defaults.remove(key);
  RecordingResultStore::shared().reset();
  FlowAlert::setPresenterForTesting({});
  delete PermissionHelpDialog::current();
  Clock::setTimeScaleForTesting(1.0);
  Clock::setNowForTesting({});
  QDir(Paths::documentsDirectory()).removeRecursively();
  QDir recordings(Paths::temporaryDirectory());
  for (const QString& name : recordings.entryList({QStringLiteral("*.wav")}, QDir::Files)) recordings.remove(name);
  clearTrace();
}

// The fake service of this process, at the origin the program reads.
inline FakeService& processService() {
  static FakeService* service = [] {
    auto* made = new FakeService;  // lives as long as the process
    qputenv("VELTRINE_SERVICE_ORIGIN", made->origin().toString().toUtf8());
    return made;
  }();
  return *service;
}

// A test that starts from, and leaves behind, the state above.
class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override { resetPipelineState(); }
  void TearDown() override { resetPipelineState(); }
};
