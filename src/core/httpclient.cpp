#include "core/httpclient.h"

namespace HttpClient {
namespace {

bool isRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

int defaultPort(const QUrl& url) { return url.scheme().toLower() == QLatin1String("https") ? 443 : 80; }

void removeField(HttpConnection::Request& request, const QByteArray& name) {
  request.headers.removeIf([&name](const auto& field) { return field.first.compare(name, Qt::CaseInsensitive) == 0; });
}

// The request to send for a redirection to `target`, or a failure.
HttpConnection::Request redirected(HttpConnection::Request request, int status, const QUrl& target,
                                   Redirects redirects) {
  const QString scheme = target.scheme().toLower();
  if (!target.isValid() || target.host().isEmpty() ||
      (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
    throw HttpFailure(HttpFailure::Kind::redirectRefused,
                      QStringLiteral("Redirected to an unusable address: %1").arg(target.toString()));
  }
  const bool sameOrigin = isSameOrigin(target, request.url);
  if (redirects == Redirects::sameOrigin && !sameOrigin) {
    throw HttpFailure(HttpFailure::Kind::redirectRefused,
                      QStringLiteral("Redirected to another origin: %1")
                          .arg(target.toString(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment |
                                               QUrl::RemoveUserInfo)));
  }
  if (request.url.scheme().toLower() == QLatin1String("https") && scheme == QLatin1String("http")) {
    throw HttpFailure(HttpFailure::Kind::redirectRefused,
                      QStringLiteral("Redirected from https to plain http: %1").arg(target.toString()));
  }
  if (!sameOrigin) {
    for (const char* name : {"Authorization", "Cookie", "X-API-Key"}) removeField(request, name);
  }
  const bool becomesGet = (status == 303 && request.method != "HEAD") ||
                          ((status == 301 || status == 302) && request.method == "POST");
  if (becomesGet) {
    request.method = "GET";
    request.body.reset();
    removeField(request, "Content-Type");
  }
  request.url = target;
  return request;
}

}  // namespace

bool isSameOrigin(const QUrl& a, const QUrl& b) {
  return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 &&
         a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && a.port(defaultPort(a)) == b.port(defaultPort(b));
}

QCoro::Task<DeleteLaterPtr<HttpConnection>> open(HttpConnection::Request request, Redirects redirects) {
  for (int followed = 0;; ++followed) {
    DeleteLaterPtr<HttpConnection> connection(new HttpConnection(request));
    while (!connection->hasHead() && !connection->isFinished()) {
      auto news = connection->news();
      co_await news;
    }
    if (!connection->hasHead()) throw *connection->failure();

    const int status = connection->status();
    const QByteArray location = connection->header("Location").trimmed();
    if (redirects == Redirects::never || !isRedirect(status) || location.isEmpty()) co_return connection;
    connection->abort();  // the redirection's own body is not wanted
    if (followed == kMaxRedirects) {
      throw HttpFailure(HttpFailure::Kind::other, QStringLiteral("Too many redirections"));
    }
    const QUrl target = request.url.resolved(QUrl(QString::fromUtf8(location)));
    request = redirected(std::move(request), status, target, redirects);
  }
}

QCoro::Task<Answer> fetch(HttpConnection::Request request, Redirects redirects) {
  DeleteLaterPtr<HttpConnection> connection = co_await open(std::move(request), redirects);
  Answer answer;
  answer.status = connection->status();
  for (;;) {
    answer.body += connection->takeBody();
    if (connection->isFinished()) break;
    auto news = connection->news();
    co_await news;
  }
  if (const std::optional<HttpFailure>& failure = connection->failure()) {
    if (failure->kind() != HttpFailure::Kind::tooLarge) throw *failure;
    answer.body = QByteArray();
    answer.bodyTooLarge = true;
  }
  co_return answer;
}

}  // namespace HttpClient
