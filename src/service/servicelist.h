#pragma once

#include "service/errordescription.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QString>

#include <algorithm>
#include <exception>
#include <optional>

// What the hotword and persona stores share: a list that lives on the
// service, fetched on request and patched locally after each change. No
// operation throws to its caller; a failure leaves the list as it was and its
// text (describeError) in `errorMessage`, which stays until the next fetch
// starts. Main thread only.
//
// GCC 12 mishandles some temporaries of a co_await expression (a braced
// aggregate or a capturing lambda passed to a coroutine, a task awaited in an
// if condition): make request bodies and callbacks locals first, and keep
// each co_await in a plain statement or initialisation.
class ServiceList : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
  Q_PROPERTY(QString errorMessage READ errorMessageText NOTIFY errorMessageChanged)

 public:
  using QObject::QObject;

  // True only while a full fetch is under way.
  bool isLoading() const { return isLoading_; }
  // The text of the latest failure.
  std::optional<QString> errorMessage() const { return errorMessage_; }

 Q_SIGNALS:
  // Emitted on every assignment, also of an equal value.
  void isLoadingChanged();
  void errorMessageChanged();

 protected:
  // A full fetch of `request`; `apply` takes the answer. When a later fetch
  // started meanwhile, this one's outcome is dropped: the later one decides
  // the list, the loading state and the message, so an old answer arriving
  // last never overwrites a newer list.
  template <typename T, typename Apply>
  QCoro::Task<void> fetch(QCoro::Task<T> request, Apply apply);

  // One change: its answer, or nothing when it failed.
  template <typename T>
  QCoro::Task<std::optional<T>> change(QCoro::Task<T> request);

  // One change whose answer carries nothing: whether it succeeded.
  QCoro::Task<bool> change(QCoro::Task<void> request);

  // Items are identified by their id alone.
  template <typename Item>
  static void replaceFirst(QList<Item>& items, const QString& id, const Item& replacement) {
    const auto found = std::find_if(items.begin(), items.end(), [&](const Item& item) { return item.id == id; });
    if (found != items.end()) *found = replacement;
  }
  template <typename Item>
  static void removeAll(QList<Item>& items, const QString& id) {
    items.removeIf([&](const Item& item) { return item.id == id; });
  }

 private:
  QString errorMessageText() const { return errorMessage_.value_or(QString()); }
  void setLoading(bool loading);
  void setErrorMessage(std::optional<QString> message);

  bool isLoading_ = false;
  std::optional<QString> errorMessage_;
  quint64 latestFetch_ = 0;
};

template <typename T, typename Apply>
QCoro::Task<void> ServiceList::fetch(QCoro::Task<T> request, Apply apply) {
  const quint64 fetchNumber = ++latestFetch_;
  setLoading(true);
  setErrorMessage(std::nullopt);
  std::optional<T> answer;
  std::optional<QString> failure;
  try {
    answer = co_await std::move(request);
  } catch (const std::exception& error) {
    failure = describeError(error);
  }
  if (fetchNumber != latestFetch_) co_return;
  if (answer) apply(std::move(*answer));
  if (failure) setErrorMessage(failure);
  setLoading(false);
}

template <typename T>
QCoro::Task<std::optional<T>> ServiceList::change(QCoro::Task<T> request) {
  try {
    co_return co_await std::move(request);
  } catch (const std::exception& error) {
    setErrorMessage(describeError(error));
  }
  co_return std::nullopt;
}
