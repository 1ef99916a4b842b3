#include "service/transporterror.h"

#include "core/httpfailure.h"
#include "localization/appstrings.h"

namespace {

TransportError::Kind kindOf(HttpFailure::Kind kind) {
  switch (kind) {
    case HttpFailure::Kind::badURL: return TransportError::Kind::badURL;
    case HttpFailure::Kind::cannotConnect: return TransportError::Kind::cannotConnect;
    case HttpFailure::Kind::cannotFindHost: return TransportError::Kind::cannotFindHost;
    case HttpFailure::Kind::proxyRefused: return TransportError::Kind::proxyRefused;
    case HttpFailure::Kind::timedOut: return TransportError::Kind::timedOut;
    case HttpFailure::Kind::connectionLost: return TransportError::Kind::connectionLost;
    case HttpFailure::Kind::secureConnectionFailed: return TransportError::Kind::secureConnectionFailed;
    case HttpFailure::Kind::redirectRefused: return TransportError::Kind::redirectRefused;
    case HttpFailure::Kind::cancelled: return TransportError::Kind::cancelled;
    case HttpFailure::Kind::badResponse:
    case HttpFailure::Kind::tooLarge:
    case HttpFailure::Kind::other:
      break;
  }
  return TransportError::Kind::other;
}

}  // namespace

TransportError::TransportError(Kind kind, QString detail)
    : kind_(kind), detail_(std::move(detail)), what_(QStringLiteral("transport error: %1").arg(detail_).toStdString()) {}

TransportError TransportError::badURL(const QString& urlText) {
  return TransportError(Kind::badURL, QStringLiteral("Bad URL: \"%1\"").arg(urlText));
}

TransportError TransportError::insecureOrigin(const QString& origin) {
  return TransportError(Kind::insecureOrigin,
                        QStringLiteral("Plain http is accepted for loopback hosts only: \"%1\"").arg(origin));
}

TransportError TransportError::from(const HttpFailure& failure) {
  return TransportError(kindOf(failure.kind()), failure.detail());
}

TransportError TransportError::timeout() {
  return TransportError(Kind::timedOut, QStringLiteral("The request timed out."));
}

QString TransportError::localizedDescription() const {
  const AppStrings& strings = currentStrings();
  switch (kind_) {
    case Kind::badURL: return strings.errorBadAddress;
    case Kind::insecureOrigin: return strings.errorInsecureAddress;
    case Kind::timedOut: return strings.errorTimedOut;
    case Kind::cancelled: return strings.errorUserCancelled;
    case Kind::cannotConnect: return strings.errorCannotConnect;
    case Kind::cannotFindHost: return strings.errorHostNotFound;
    case Kind::proxyRefused: return strings.errorProxyRefused;
    case Kind::connectionLost: return strings.errorConnectionLost;
    case Kind::secureConnectionFailed: return strings.errorSecureConnection;
    case Kind::redirectRefused: return strings.errorRedirectRefused;
    case Kind::other: break;
  }
  return strings.errorNetwork;
}
