#pragma once

#include <functional>

class AuthStore;
struct AuthResponse;

// What both ways of signing in (a sign-in code, an invite code) do once the
// service has accepted the user: the account is stored (token last, which
// makes the window leave the sign-in view), the latest result of whoever used
// the program before is emptied, and the recording configuration and the plan
// are fetched for the new account.
//
// The two fetches belong to the application's start-up code, which lives above
// this library: the program hands them in once at start-up. Each is started
// later on the main queue, the recording configuration first, and nobody
// waits for them; a fetch that finds the account rejected signs it out again.
namespace SignInCompletion {

struct Fetches {
  std::function<void()> recordingConfig;  // GET "/config/recording" -> the longest recording
  std::function<void()> userPlanInfo;     // GET "/config/plan" -> tier, credits, invite switches
};

// Replaces the fetches (an empty function is skipped). Main thread only.
void setFetches(Fetches fetches);

// Signs the response's account in on `authStore`. Main thread only.
void finish(AuthStore& authStore, const AuthResponse& response);

}  // namespace SignInCompletion
