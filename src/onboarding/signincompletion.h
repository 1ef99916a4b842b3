#pragma once

class AuthStore;
struct AuthResponse;

// What both ways of signing in (a sign-in code, an invite code) do once the
// service has accepted the user: the account is stored (token last, which
// makes the window leave the sign-in view), the latest result of whoever used
// the program before is emptied, and the recording configuration and the plan
// are fetched for the new account. The fetches start later on the main queue,
// the recording configuration first, and nobody waits for them; one that
// finds the account rejected signs it out again.
namespace SignInCompletion {

// Signs the response's account in on `authStore`. Main thread only.
void finish(AuthStore& authStore, const AuthResponse& response);

}  // namespace SignInCompletion
