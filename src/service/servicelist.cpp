#include "service/servicelist.h"

void ServiceList::setLoading(bool loading) {
  isLoading_ = loading;
  Q_EMIT isLoadingChanged();
}

void ServiceList::setErrorMessage(std::optional<QString> message) {
  errorMessage_ = std::move(message);
  Q_EMIT errorMessageChanged();
}

QCoro::Task<bool> ServiceList::change(QCoro::Task<void> request) {
  try {
    co_await std::move(request);
    co_return true;
  } catch (const std::exception& error) {
    setErrorMessage(describeError(error));
  }
  co_return false;
}
