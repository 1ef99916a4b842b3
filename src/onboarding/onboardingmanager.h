#pragma once

#include <QObject>
#include <QString>

class AuthStore;
class UserDefaults;

// Whether the signed-in user still has the onboarding flow ahead of them on
// this machine. The fact is kept per account and per machine, as a Boolean in
// the settings under a key that holds only a hash of the e-mail address, so
// the same user on another machine (or another user here) sees the flow once.
// The flag is written when the flow is finished and never removed: signing
// out and in again, in any letter case, skips the flow.
//
// The root view reads shouldShowOnboarding to choose between the flow and the
// main window. Main thread only.
class OnboardingManager : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool shouldShowOnboarding READ shouldShowOnboarding NOTIFY shouldShowOnboardingChanged)

 public:
  // Over the account store and the settings of this user, made on first use
  // with the value of the account signed in at that moment.
  static OnboardingManager& shared();

  // A manager over other stores (tests).
  OnboardingManager(AuthStore& auth, UserDefaults& defaults, QObject* parent = nullptr);

  bool shouldShowOnboarding() const { return shouldShowOnboarding_; }

  // Reads the flag again for the e-mail signed in now (false without one) and
  // assigns it; every call notifies, also one that changes nothing.
  void refresh();

  // Stores the flag for the e-mail signed in now and hides the flow. Without
  // an e-mail nothing is stored and nothing changes.
  void markCompleted();

  // "onboarding_completed_" + the hash of the lower-cased address, "_" and
  // the machine's platform UUID.
  static QString onboardingKey(const QString& email);
  // djb2 over the UTF-8 bytes with a wrapping 64-bit accumulator, written in
  // lower-case hexadecimal without leading zeros ("abc" -> "b885c8b").
  static QString accountHash(const QString& text);
  // The machine's platform UUID as the desktop reports it, "unknown" when it
  // cannot be read. Asked afresh at every call.
  static QString platformUUID();

 Q_SIGNALS:
  void shouldShowOnboardingChanged();

 private:
  bool computeShouldShow() const;
  void setShouldShowOnboarding(bool value);

  AuthStore& auth_;
  UserDefaults& defaults_;
  bool shouldShowOnboarding_ = false;
};
