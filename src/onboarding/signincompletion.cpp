#include "onboarding/signincompletion.h"

#include "pipeline/recordingresultstore.h"
#include "service/authmodels.h"
#include "service/authstore.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {

SignInCompletion::Fetches& installedFetches() {
  static SignInCompletion::Fetches fetches;
  return fetches;
}

// Like a task started on the main queue: it runs once the caller has returned
// to the event loop, so the sign-in finishes before any fetch begins.
void startLater(const std::function<void()>& fetch) {
  if (!fetch) return;
  QMetaObject::invokeMethod(QCoreApplication::instance(), fetch, Qt::QueuedConnection);
}

}  // namespace

void SignInCompletion::setFetches(Fetches fetches) { installedFetches() = std::move(fetches); }

void SignInCompletion::finish(AuthStore& authStore, const AuthResponse& response) {
  authStore.saveLogin(response);
  RecordingResultStore::shared().reset();
  // Copies: a fetch may replace the installed ones before it runs.
  const Fetches fetches = installedFetches();
  startLater(fetches.recordingConfig);
  startLater(fetches.userPlanInfo);
}
