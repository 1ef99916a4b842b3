#pragma once

#include <QCoroTask>

// The three service configurations the program fetches at launch, and the two
// it fetches again right after a sign-in. Each fetch applies what it gets and
// never throws: a failure is logged (category "AppDelegate"), nothing is
// retried and no state changes, except that the recording and plan fetches
// sign the user out when the service rejects the account (unauthorized or
// banned).
//
// The launch sequence (AppDelegate) and the sign-in flow both call these,
// hence their place below either. Main thread only.
class ConfigFetcher {
 public:
  // GET "/config/startup", signed in or not: the two invite switches.
  static QCoro::Task<void> fetchStartupConfig();
  // GET "/config/recording": the recorder's longest recording.
  static QCoro::Task<void> fetchRecordingConfig();
  // GET "/config/plan": tier, credits, reset date and invite switches.
  static QCoro::Task<void> fetchUserPlanInfo();
};
