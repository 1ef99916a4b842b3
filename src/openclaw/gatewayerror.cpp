#include "openclaw/gatewayerror.h"

GatewayError::GatewayError(Kind kind, int statusCode, QString body, QString description)
    : kind_(kind),
      statusCode_(statusCode),
      body_(std::move(body)),
      description_(std::move(description)),
      what_(description_.toStdString()) {}

GatewayError GatewayError::httpError(int statusCode, QString body) {
  QString description = QStringLiteral("HTTP %1: %2").arg(statusCode).arg(body);
  return GatewayError(Kind::httpError, statusCode, std::move(body), std::move(description));
}

GatewayError GatewayError::transport(QString description) {
  return GatewayError(Kind::transport, 0, QString(), std::move(description));
}

GatewayError GatewayError::streamError(QString message) {
  return GatewayError(Kind::streamError, 0, QString(), std::move(message));
}
