#include "mainwindow/myinvitecodesviewmodel.h"

#include "service/apiclient.h"
#include "service/errordescription.h"

#include <QPointer>

#include <exception>

MyInviteCodesViewModel::MyInviteCodesViewModel(QObject* parent) : QObject(parent) {}

QCoro::Task<void> MyInviteCodesViewModel::load() {
  const quint64 loadNumber = ++latestLoad_;
  setLoading(true);
  setErrorMessage(std::nullopt);
  QPointer<MyInviteCodesViewModel> self(this);
  std::optional<MyInviteCodesResponse> answer;
  std::optional<QString> failure;
  try {
    answer = co_await APIClient::shared().fetchInviteCodes();
  } catch (const std::exception& error) {
    failure = describeError(error);
  }
  // The popover that asked may have closed meanwhile, taking the model along.
  if (!self || loadNumber != latestLoad_) co_return;
  if (answer) {
    codes_ = std::move(answer->inviteCodes);
    Q_EMIT codesChanged();
  }
  if (failure) setErrorMessage(failure);
  setLoading(false);
}

void MyInviteCodesViewModel::setLoading(bool loading) {
  isLoading_ = loading;
  Q_EMIT isLoadingChanged();
}

void MyInviteCodesViewModel::setErrorMessage(std::optional<QString> message) {
  errorMessage_ = std::move(message);
  Q_EMIT errorMessageChanged();
}
