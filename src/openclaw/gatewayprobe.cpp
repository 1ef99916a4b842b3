#include "openclaw/gatewayprobe.h"

#include "core/deletelater.h"

#include <QCoroNetworkReply>
#include <QNetworkProxy>
#include <QNetworkReply>

#include <memory>

namespace {

constexpr int kProbeTimeoutMs = 2000;

}  // namespace

GatewayProbe::GatewayProbe() { network_.setProxy(QNetworkProxy::NoProxy); }

QCoro::Task<bool> GatewayProbe::probe(QUrl url, QString bearerToken) {
  QNetworkRequest request(url);
  request.setTransferTimeout(kProbeTimeoutMs);
  // Any answer counts, a redirection too: never follow it somewhere else.
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  if (!bearerToken.isEmpty() && !bearerToken.contains(QLatin1Char('\n')) && !bearerToken.contains(QLatin1Char('\r'))) {
    request.setRawHeader("Authorization", "Bearer " + bearerToken.toUtf8());
  }
  const DeleteLaterPtr<QNetworkReply> reply(network_.get(request));
  QNetworkReply* const sent = reply.get();
  co_await sent;
  co_return sent->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() > 0;
}
