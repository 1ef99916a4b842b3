#include "openclaw/gatewayprobe.h"

#include "core/httpclient.h"

namespace {

constexpr std::chrono::milliseconds kProbeTimeout{2000};

}  // namespace

QCoro::Task<bool> GatewayProbe::probe(QUrl url, QString bearerToken) {
  HttpConnection::Request request;
  request.url = url;
  request.idleTimeout = kProbeTimeout;
  if (!bearerToken.isEmpty()) request.headers.append({"Authorization", "Bearer " + bearerToken.toUtf8()});
  try {
    // The answer's head is all it takes.
    const DeleteLaterPtr<HttpConnection> connection =
        co_await HttpClient::open(std::move(request), HttpClient::Redirects::never);
    co_return connection->status() > 0;
  } catch (const HttpFailure&) {
    co_return false;
  }
}
