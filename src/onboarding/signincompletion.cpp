#include "onboarding/signincompletion.h"

#include "mainwindow/configfetcher.h"
#include "pipeline/recordingresultstore.h"
#include "service/authmodels.h"
#include "service/authstore.h"

#include <QCoreApplication>
#include <QMetaObject>

void SignInCompletion::finish(AuthStore& authStore, const AuthResponse& response) {
  authStore.saveLogin(response);
  RecordingResultStore::shared().reset();
  // Like tasks started on the main queue: they begin once the sign-in has
  // returned to the event loop, and run on by themselves (they never throw).
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [] { ConfigFetcher::fetchRecordingConfig(); }, Qt::QueuedConnection);
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [] { ConfigFetcher::fetchUserPlanInfo(); }, Qt::QueuedConnection);
}
