#include "service/apierror.h"

#include "localization/appstrings.h"
#include "localization/servermessages.h"

namespace {

std::string summary(APIError::Kind kind, qint64 status, const QString& message, const QString& underlying) {
  switch (kind) {
    case APIError::Kind::httpError: return QStringLiteral("httpError(%1, %2)").arg(status).arg(message).toStdString();
    case APIError::Kind::decodingError: return QStringLiteral("decodingError(%1)").arg(underlying).toStdString();
    case APIError::Kind::networkError: return QStringLiteral("networkError(%1)").arg(underlying).toStdString();
    case APIError::Kind::unauthorized: return "unauthorized";
    case APIError::Kind::userBanned: return "userBanned";
  }
  return "APIError";
}

}  // namespace

APIError::APIError(Kind kind, qint64 statusCode, QString message, std::optional<APIErrorResponse> response,
                   QString underlyingError)
    : kind_(kind), statusCode_(statusCode), message_(std::move(message)), response_(std::move(response)),
      underlyingError_(std::move(underlyingError)),
      what_(summary(kind_, statusCode_, message_, underlyingError_)) {}

APIError APIError::httpError(qint64 statusCode, QString message, std::optional<APIErrorResponse> response) {
  return APIError(Kind::httpError, statusCode, std::move(message), std::move(response), {});
}

APIError APIError::decodingError(QString underlyingError) {
  return APIError(Kind::decodingError, 0, {}, std::nullopt, std::move(underlyingError));
}

APIError APIError::networkError(QString underlyingError) {
  return APIError(Kind::networkError, 0, {}, std::nullopt, std::move(underlyingError));
}

APIError APIError::unauthorized() { return APIError(Kind::unauthorized, 0, {}, std::nullopt, {}); }

APIError APIError::userBanned() { return APIError(Kind::userBanned, 0, {}, std::nullopt, {}); }

QString APIError::errorDescription() const {
  // A new code on the service reads as the generic text, never as the
  // service's own (untranslated) message.
  switch (kind_) {
    case Kind::httpError: return response_ ? localizedServerError(response_->code) : currentStrings().errorUnknown;
    case Kind::decodingError: return currentStrings().errorDecode;
    case Kind::networkError: return currentStrings().errorNetwork;
    case Kind::unauthorized: return currentStrings().errorUnauthorized;
    case Kind::userBanned: return localizedServerError(QStringLiteral("USER_BANNED"));
  }
  return currentStrings().errorUnknown;
}
