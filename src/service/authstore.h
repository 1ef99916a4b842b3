#pragma once

#include <QLocale>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class UserDefaults;
struct AuthResponse;
struct UserPlanInfo;

// The signed-in account: the service's bearer token, the e-mail, the plan tier,
// the credit counters and their reset date, and the service's two invite
// switches. The user counts as signed in exactly while a token is present.
//
// Every field but `pendingInviteEmail` persists itself in the settings store
// the moment it is assigned (an absent text removes its key), so the account
// survives a restart without an explicit save. Each assignment is announced
// first, also one of an equal value, and written right after. Main thread only.
class AuthStore : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString token READ tokenText NOTIFY tokenChanged)
  Q_PROPERTY(QString email READ emailText NOTIFY emailChanged)
  Q_PROPERTY(QString tier READ tier WRITE setTier NOTIFY tierChanged)
  Q_PROPERTY(qint64 creditsTotal READ creditsTotal WRITE setCreditsTotal NOTIFY creditsTotalChanged)
  Q_PROPERTY(qint64 creditsRemaining READ creditsRemaining WRITE setCreditsRemaining NOTIFY creditsRemainingChanged)
  Q_PROPERTY(QString creditsResetAt READ creditsResetAtText NOTIFY creditsResetAtChanged)
  Q_PROPERTY(bool inviteCodeEnabled READ inviteCodeEnabled WRITE setInviteCodeEnabled NOTIFY inviteCodeEnabledChanged)
  Q_PROPERTY(bool showInviteCodesEnabled READ showInviteCodesEnabled WRITE setShowInviteCodesEnabled NOTIFY
                 showInviteCodesEnabledChanged)
  Q_PROPERTY(QString pendingInviteEmail READ pendingInviteEmailText NOTIFY pendingInviteEmailChanged)

 public:
  // What signing in and out reaches beyond the account: the history, the
  // hotkey configurations and their listener, the latest result. Those live in
  // libraries built on this one, so the program hands them in once at start-up;
  // an empty hook is skipped.
  struct SessionHooks {
    std::function<void()> loadHistory;         // reads the history of the e-mail set now
    std::function<void()> clearHistory;        // drops the records from memory; the files stay
    std::function<void()> stopHotKeyListener;
    std::function<void()> loadHotKeyConfigs;   // reads the configurations of the e-mail set now
    std::function<void()> resetLatestResult;
  };

  // The store over the user's settings, loaded on first use.
  static AuthStore& shared();

  // A store over other settings (tests). Loads at once, writing every value
  // read straight back, so a first start leaves the defaults stored.
  explicit AuthStore(UserDefaults& defaults, QObject* parent = nullptr);

  void setSessionHooks(SessionHooks hooks) { hooks_ = std::move(hooks); }

  std::optional<QString> token() const { return token_; }
  std::optional<QString> email() const { return email_; }
  bool isSignedIn() const { return token_.has_value(); }
  QString tier() const { return tier_; }
  qint64 creditsTotal() const { return creditsTotal_; }
  qint64 creditsRemaining() const { return creditsRemaining_; }
  // The renewal instant exactly as the service sent it.
  std::optional<QString> creditsResetAt() const { return creditsResetAt_; }
  // Sign-up asks for an invite code.
  bool inviteCodeEnabled() const { return inviteCodeEnabled_; }
  // The user may see their own invite codes.
  bool showInviteCodesEnabled() const { return showInviteCodesEnabled_; }
  // The address waiting for its invite code during sign-up; memory only.
  std::optional<QString> pendingInviteEmail() const { return pendingInviteEmail_; }

  void setToken(std::optional<QString> token);
  void setEmail(std::optional<QString> email);
  void setTier(const QString& tier);
  void setCreditsTotal(qint64 credits);
  void setCreditsRemaining(qint64 credits);
  void setCreditsResetAt(std::optional<QString> resetAt);
  void setInviteCodeEnabled(bool enabled);
  void setShowInviteCodesEnabled(bool enabled);
  void setPendingInviteEmail(std::optional<QString> email);

  // Makes the response's account the signed-in one: e-mail and tier first,
  // then the history and the hotkey configurations switch to that e-mail, and
  // the token comes last, so whoever reacts to it finds the account complete.
  // Empty texts store no e-mail, the tier "trial" and no token. Credits and
  // invite switches wait for the next plan fetch.
  void saveLogin(const AuthResponse& response);

  // Copies the plan's figures and switches; an empty tier keeps the stored one.
  void applyPlanInfo(const UserPlanInfo& plan);

  // Signs out locally (nothing is sent): the history leaves memory, the
  // hotkey listener stops, the configurations reload while the e-mail still
  // names the leaving account, the latest result resets, and then the account
  // fields return to their defaults. The invite switches, the history files
  // and every other setting stay.
  void clearSession();

  // The reset date in `locale`'s medium date style, in the user's time zone;
  // nothing when there is none or it is not an internet date-time.
  // For the interface language: QLocale(rawValue(LanguageManager::shared().current())).
  std::optional<QString> formattedCreditsResetDate(const QLocale& locale) const;

 Q_SIGNALS:
  void tokenChanged();
  void emailChanged();
  void tierChanged();
  void creditsTotalChanged();
  void creditsRemainingChanged();
  void creditsResetAtChanged();
  void inviteCodeEnabledChanged();
  void showInviteCodesEnabledChanged();
  void pendingInviteEmailChanged();

 private:
  void load();
  void persistText(const QString& key, const std::optional<QString>& value);
  QString tokenText() const { return token_.value_or(QString()); }
  QString emailText() const { return email_.value_or(QString()); }
  QString creditsResetAtText() const { return creditsResetAt_.value_or(QString()); }
  QString pendingInviteEmailText() const { return pendingInviteEmail_.value_or(QString()); }

  UserDefaults& defaults_;
  SessionHooks hooks_;

  std::optional<QString> token_;
  std::optional<QString> email_;
  QString tier_;
  qint64 creditsTotal_ = 0;
  qint64 creditsRemaining_ = 0;
  std::optional<QString> creditsResetAt_;
  bool inviteCodeEnabled_ = false;
  bool showInviteCodesEnabled_ = false;
  std::optional<QString> pendingInviteEmail_;
};
