#include "onboarding/invitecodeviewmodel.h"

#include "onboarding/invitecodeformat.h"
#include "onboarding/signincompletion.h"
#include "service/apiclient.h"
#include "service/authstore.h"
#include "service/deviceidentity.h"
#include "service/errordescription.h"

#include <QPointer>

InviteCodeViewModel::InviteCodeViewModel(QString email, std::function<void()> onBack, QObject* parent)
    : InviteCodeViewModel(std::move(email), std::move(onBack), AuthStore::shared(), parent) {}

InviteCodeViewModel::InviteCodeViewModel(QString email, std::function<void()> onBack, AuthStore& authStore,
                                         QObject* parent)
    : QObject(parent), email_(std::move(email)), onBack_(std::move(onBack)), authStore_(authStore) {}

void InviteCodeViewModel::setInviteCode(const QString& code) {
  if (code == inviteCode_) return;
  inviteCode_ = code;
  Q_EMIT inviteCodeChanged();
}

QString InviteCodeViewModel::cleanCode() const { return InviteCodeFormat::clean(inviteCode_); }

bool InviteCodeViewModel::isComplete() const { return cleanCode().size() == InviteCodeFormat::length; }

void InviteCodeViewModel::setLoading(bool loading) {
  if (loading == isLoading_) return;
  isLoading_ = loading;
  Q_EMIT isLoadingChanged();
}

void InviteCodeViewModel::setErrorMessage(const std::optional<QString>& message) {
  errorMessage_ = message;
  Q_EMIT errorMessageChanged();
}

QCoro::Task<void> InviteCodeViewModel::submit() {
  if (!isComplete()) co_return;
  setLoading(true);
  setErrorMessage(std::nullopt);
  // Worked out afresh at each submission, the id before the fingerprint that
  // contains it.
  VerifyInviteRequest body;
  body.email = email_;
  body.inviteCode = cleanCode();
  body.deviceId = DeviceIdentity::deviceId();
  body.hardwareFingerprint = DeviceIdentity::hardwareFingerprint();
  const QPointer<InviteCodeViewModel> self(this);
  AuthStore& authStore = authStore_;
  try {
    const AuthResponse response =
        co_await APIClient::shared().post<AuthResponse>(APIClient::verifyInviteURL(), body);
    // The account is the service's now, whether or not this step is still on
    // screen: sign it in regardless.
    authStore.setPendingInviteEmail(std::nullopt);
    SignInCompletion::finish(authStore, response);
    if (!self) co_return;
  } catch (const std::exception& error) {
    if (!self) co_return;
    setErrorMessage(describeError(error));
  }
  setLoading(false);
}

void InviteCodeViewModel::back() {
  authStore_.setPendingInviteEmail(std::nullopt);
  if (onBack_) onBack_();
}
