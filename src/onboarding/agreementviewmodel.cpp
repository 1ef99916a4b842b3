#include "onboarding/agreementviewmodel.h"

#include "localization/appstrings.h"
#include "service/apiclient.h"
#include "service/jsoncoding.h"

#include <QPointer>
#include <QUrl>
#include <QUrlQuery>

namespace {

// The request as the service expects it from a reader who is not signed in.
std::optional<APIRequest> agreementRequest(AgreementType type, const QString& lang) {
  QUrl url(APIClient::agreementsURL(), QUrl::StrictMode);
  if (!url.isValid() || url.isRelative() || url.host().isEmpty()) return std::nullopt;
  QUrlQuery query;
  query.addQueryItem(QStringLiteral("type"), rawValue(type));
  query.addQueryItem(QStringLiteral("lang"), lang);
  url.setQuery(query);
  if (!url.isValid()) return std::nullopt;

  APIRequest request;
  request.url = url;
  request.method = "GET";
  request.timeout = std::chrono::seconds(15);
  request.setHeader("X-App-Variant", "standard");
  request.setHeader("X-Client-Platform", "macos_standard");
  return request;
}

// The document of an answer's body, whatever its status.
std::optional<QString> documentOf(const QByteArray& body) {
  try {
    return JsonObjectReader(parseJsonDocument(body), "AgreementResponse").text("content");
  } catch (const JsonDecodeError&) {
    return std::nullopt;
  }
}

}  // namespace

AgreementViewModel::AgreementViewModel(QObject* parent) : QObject(parent) {}

void AgreementViewModel::setContent(const QString& content) {
  if (content == content_) return;
  content_ = content;
  Q_EMIT contentChanged();
}

void AgreementViewModel::setLoading(bool loading) {
  if (loading == isLoading_) return;
  isLoading_ = loading;
  Q_EMIT isLoadingChanged();
}

void AgreementViewModel::setError(const std::optional<QString>& error) {
  if (error == error_) return;
  error_ = error;
  Q_EMIT errorChanged();
}

QCoro::Task<void> AgreementViewModel::load(AgreementType type, QString lang) {
  const int number = ++latestLoad_;
  setLoading(true);
  setError(std::nullopt);
  setContent(QString());

  std::optional<APIRequest> request = agreementRequest(type, lang);
  if (!request) {
    // The service address is unusable (refused in the configuration): say so
    // rather than show an empty document as if it were the text.
    setError(currentStrings().agreementLoadFailed);
    setLoading(false);
    co_return;
  }

  const QPointer<AgreementViewModel> self(this);
  std::optional<QString> document;
  try {
    const APIClient::Answer answer = co_await APIClient::shared().exchange(std::move(*request));
    document = documentOf(answer.body);
  } catch (const std::exception&) {
    // No answer (refused, lost, timed out): the same failure as a bad body.
  }
  if (!self || number != latestLoad_) co_return;
  if (document) {
    setContent(*document);
  } else {
    // The text of the language shown when the failure happens.
    setError(currentStrings().agreementLoadFailed);
  }
  setLoading(false);
}
