#pragma once

#include "onboarding/agreementtype.h"

#include <QCoroTask>
#include <QObject>
#include <QString>

#include <optional>

// Fetches the terms of service or the privacy policy, in one interface
// language, as markdown. The request is the service's only public one: no
// account credentials and no API key go with it, only the two headers that
// name this client family, and it gives up after 15 seconds.
//
// The service's answer counts by its body alone: any status with a JSON object
// holding a text "content" is the document (the service sends translated
// pages with odd statuses), anything else is a failure.
//
// Exactly one of three states shows: loading, failed (`error`), the document
// (`content`, perhaps empty). Main thread only.
class AgreementViewModel : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString content READ content NOTIFY contentChanged)
  Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
  Q_PROPERTY(QString error READ errorText NOTIFY errorChanged)

 public:
  explicit AgreementViewModel(QObject* parent = nullptr);

  QString content() const { return content_; }
  bool isLoading() const { return isLoading_; }
  std::optional<QString> error() const { return error_; }

  // Empties the document and fetches it anew; `lang` is the language's raw
  // value ("zh-Hant"). Never throws. Should an earlier load still be out, its
  // answer is dropped.
  QCoro::Task<void> load(AgreementType type, QString lang);

 Q_SIGNALS:
  void contentChanged();
  void isLoadingChanged();
  void errorChanged();

 private:
  void setContent(const QString& content);
  void setLoading(bool loading);
  void setError(const std::optional<QString>& error);
  QString errorText() const { return error_.value_or(QString()); }

  QString content_;
  bool isLoading_ = false;
  std::optional<QString> error_;
  int latestLoad_ = 0;
};
