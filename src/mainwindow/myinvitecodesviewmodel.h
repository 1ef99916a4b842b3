#pragma once

#include "service/authmodels.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

// The signed-in user's own invite codes, fetched from the service on request
// and kept only in memory, in the service's order.
class MyInviteCodesViewModel : public QObject {
  Q_OBJECT
  Q_PROPERTY(QList<InviteCodeItem> codes READ codes NOTIFY codesChanged)
  Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
  Q_PROPERTY(QString errorMessage READ errorMessageText NOTIFY errorMessageChanged)

 public:
  explicit MyInviteCodesViewModel(QObject* parent = nullptr);

  const QList<InviteCodeItem>& codes() const { return codes_; }
  bool isLoading() const { return isLoading_; }
  std::optional<QString> errorMessage() const { return errorMessage_; }

  // Fetches the codes. Never throws: a failure leaves the codes as they were
  // and its text in errorMessage. When loads overlap, the one started last
  // decides; a load that ends after its model is gone changes nothing.
  QCoro::Task<void> load();

 Q_SIGNALS:
  void codesChanged();
  void isLoadingChanged();
  void errorMessageChanged();

 private:
  QString errorMessageText() const { return errorMessage_.value_or(QString()); }
  void setLoading(bool loading);
  void setErrorMessage(std::optional<QString> message);

  QList<InviteCodeItem> codes_;
  bool isLoading_ = false;
  std::optional<QString> errorMessage_;
  quint64 latestLoad_ = 0;
};
