#include "pipeline/processingfailure.h"

#include "localization/appstrings.h"
#include "service/apierror.h"
#include "service/errordescription.h"

namespace {

const QString kCreditsExhausted = QStringLiteral("CREDITS_EXHAUSTED");
const QString kDurationExceeded = QStringLiteral("DURATION_EXCEEDED");

}  // namespace

ProcessingFailure ProcessingFailure::from(const std::exception& error) {
  ProcessingFailure failure;
  const auto* apiError = dynamic_cast<const APIError*>(&error);
  if (!apiError) {
    failure.kind = Kind::noAnswer;
    failure.message = describeError(error);
    return failure;
  }

  const std::optional<APIErrorResponse>& body = apiError->response();
  switch (apiError->kind()) {
    case APIError::Kind::unauthorized:
      failure.kind = Kind::signOut;
      failure.message = currentStrings().errorUnauthorized;
      return failure;
    case APIError::Kind::userBanned:
      failure.kind = Kind::signOut;
      failure.message = apiError->errorDescription();
      return failure;
    case APIError::Kind::httpError:
      if (body && body->code == kCreditsExhausted) {
        failure.kind = Kind::creditsExhausted;
        failure.message = currentStrings().errorCreditsExhausted;
        failure.retryable = false;
        return failure;
      }
      break;
    case APIError::Kind::decodingError:
    case APIError::Kind::networkError:
      break;
  }

  failure.kind = Kind::serviceError;
  failure.message = apiError->errorDescription();
  if (apiError->kind() == APIError::Kind::httpError && body) {
    failure.durationExceeded = body->code == kDurationExceeded;
    failure.retryable = !failure.durationExceeded;
    if (body->configUpdate) failure.maxDurationSec = body->configUpdate->maxDurationSec;
  }
  return failure;
}
