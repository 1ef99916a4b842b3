#pragma once

#include <QCoroTask>
#include <QObject>
#include <QString>

#include <optional>

class AuthStore;

// The state behind the sign-in window: the typed e-mail and code, the request
// in flight, the error line and the stage. The user asks for a one-time code,
// types it and is signed in; when the service wants an invitation first, the
// model hands over to the invite-code step through `showInviteStep` and the
// account store's pending invite e-mail.
//
// The model never navigates: signing in only stores the account, and the
// window that shows the sign-in view swaps it for the next one as soon as a
// token is there. Nothing is checked but emptiness (zero characters): blanks
// and mixed case reach the service as typed. Typing never clears the error;
// the next request, reset() or a new error does.
//
// One model per sign-in view; the view keeps requests from overlapping by
// disabling its button while `isLoading`. Main thread only.
class AuthViewModel : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY emailChanged)
  Q_PROPERTY(QString code READ code WRITE setCode NOTIFY codeChanged)
  Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
  Q_PROPERTY(QString errorMessage READ errorMessageText NOTIFY errorMessageChanged)
  Q_PROPERTY(bool codeSent READ codeSent NOTIFY codeSentChanged)
  Q_PROPERTY(bool showInviteStep READ showInviteStep NOTIFY showInviteStepChanged)

 public:
  explicit AuthViewModel(QObject* parent = nullptr);
  AuthViewModel(AuthStore& authStore, QObject* parent);

  QString email() const { return email_; }
  QString code() const { return code_; }
  bool isLoading() const { return isLoading_; }
  std::optional<QString> errorMessage() const { return errorMessage_; }
  bool codeSent() const { return codeSent_; }
  bool showInviteStep() const { return showInviteStep_; }
  AuthStore& authStore() const { return authStore_; }

  void setEmail(const QString& email);
  void setCode(const QString& code);

  // Asks the service to mail a code to `email`; on success the code stage
  // begins. Never throws: a failure lands in `errorMessage`.
  QCoro::Task<void> sendCode();

  // Checks the code with the service. Signs the user in, or opens the invite
  // step when the service asks for an invite code (then nothing is stored but
  // the pending e-mail, as typed). Never throws.
  QCoro::Task<void> verifyCode();

  // Back to the e-mail stage with the address kept: empties the code and the
  // error and leaves the invite step. The pending invite e-mail is the invite
  // step's to clear.
  void reset();

 Q_SIGNALS:
  void emailChanged();
  void codeChanged();
  void isLoadingChanged();
  void errorMessageChanged();
  void codeSentChanged();
  void showInviteStepChanged();

 private:
  void setLoading(bool loading);
  void setErrorMessage(const std::optional<QString>& message);
  void setCodeSent(bool sent);
  void setShowInviteStep(bool show);
  QString errorMessageText() const { return errorMessage_.value_or(QString()); }

  AuthStore& authStore_;
  QString email_;
  QString code_;
  bool isLoading_ = false;
  std::optional<QString> errorMessage_;
  bool codeSent_ = false;
  bool showInviteStep_ = false;
};
