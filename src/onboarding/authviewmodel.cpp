#include "onboarding/authviewmodel.h"

#include "localization/appstrings.h"
#include "onboarding/signincompletion.h"
#include "service/apiclient.h"
#include "service/authstore.h"
#include "service/errordescription.h"

#include <QPointer>

AuthViewModel::AuthViewModel(QObject* parent) : AuthViewModel(AuthStore::shared(), parent) {}

AuthViewModel::AuthViewModel(AuthStore& authStore, QObject* parent) : QObject(parent), authStore_(authStore) {}

void AuthViewModel::setEmail(const QString& email) {
  if (email == email_) return;
  email_ = email;
  Q_EMIT emailChanged();
}

void AuthViewModel::setCode(const QString& code) {
  if (code == code_) return;
  code_ = code;
  Q_EMIT codeChanged();
}

void AuthViewModel::setLoading(bool loading) {
  if (loading == isLoading_) return;
  isLoading_ = loading;
  Q_EMIT isLoadingChanged();
}

void AuthViewModel::setErrorMessage(const std::optional<QString>& message) {
  // Every assignment is announced: the same error again is news to the user.
  errorMessage_ = message;
  Q_EMIT errorMessageChanged();
}

void AuthViewModel::setCodeSent(bool sent) {
  if (sent == codeSent_) return;
  codeSent_ = sent;
  Q_EMIT codeSentChanged();
}

void AuthViewModel::setShowInviteStep(bool show) {
  if (show == showInviteStep_) return;
  showInviteStep_ = show;
  Q_EMIT showInviteStepChanged();
}

QCoro::Task<void> AuthViewModel::sendCode() {
  if (email_.isEmpty()) {
    setErrorMessage(currentStrings().enterEmail);
    co_return;
  }
  setLoading(true);
  setErrorMessage(std::nullopt);
  // The view may go away while the request is out (the window closes): the
  // answer then has nobody to tell.
  const QPointer<AuthViewModel> self(this);
  const SendCodeRequest body{email_};
  try {
    co_await APIClient::shared().post<EmptyResponse>(APIClient::sendCodeURL(), body);
    if (!self) co_return;
    setCodeSent(true);
  } catch (const std::exception& error) {
    if (!self) co_return;
    setErrorMessage(describeError(error));
  }
  setLoading(false);
}

QCoro::Task<void> AuthViewModel::verifyCode() {
  if (code_.isEmpty()) {
    setErrorMessage(currentStrings().enterCode);
    co_return;
  }
  setLoading(true);
  setErrorMessage(std::nullopt);
  const QPointer<AuthViewModel> self(this);
  AuthStore& authStore = authStore_;
  const QString email = email_;
  const QString code = code_;
  try {
    const AuthResponse response = co_await APIClient::shared().verifyCode(email, code);
    if (response.requireInvite) {
      // The address as typed waits for its invite code; this answer's token,
      // e-mail and tier are not an account yet.
      authStore.setPendingInviteEmail(email);
      if (!self) co_return;
      setShowInviteStep(true);
    } else {
      // The service has signed the user in, whether or not this view is still
      // there to see it. Storing the token may replace the view, and this
      // model with it.
      SignInCompletion::finish(authStore, response);
      if (!self) co_return;
    }
  } catch (const std::exception& error) {
    if (!self) co_return;
    setErrorMessage(describeError(error));
  }
  setLoading(false);
}

void AuthViewModel::reset() {
  setCode(QString());
  setCodeSent(false);
  setErrorMessage(std::nullopt);
  setShowInviteStep(false);
}
