#include "service/transporterror.h"

namespace {

TransportError::Kind kindOf(QNetworkReply::NetworkError error) {
  switch (error) {
    case QNetworkReply::TimeoutError: return TransportError::Kind::timedOut;
    case QNetworkReply::OperationCanceledError: return TransportError::Kind::cancelled;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::ProxyConnectionRefusedError:
      return TransportError::Kind::cannotConnect;
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProxyNotFoundError:
      return TransportError::Kind::cannotFindHost;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProxyConnectionClosedError:
      return TransportError::Kind::connectionLost;
    case QNetworkReply::SslHandshakeFailedError: return TransportError::Kind::secureConnectionFailed;
    default: return TransportError::Kind::other;
  }
}

}  // namespace

TransportError::TransportError(Kind kind, QString description, QNetworkReply::NetworkError networkError)
    : kind_(kind), description_(std::move(description)), networkError_(networkError),
      what_(QStringLiteral("transport error: %1").arg(description_).toStdString()) {}

TransportError TransportError::badURL(const QString& urlText) {
  return TransportError(Kind::badURL, QStringLiteral("Bad URL: \"%1\"").arg(urlText));
}

TransportError TransportError::fromReply(const QNetworkReply& reply) {
  return TransportError(kindOf(reply.error()), reply.errorString(), reply.error());
}

TransportError TransportError::timeout() {
  return TransportError(Kind::timedOut, QStringLiteral("The request timed out."));
}
