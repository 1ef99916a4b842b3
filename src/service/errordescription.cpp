#include "service/errordescription.h"

#include "service/apierror.h"
#include "service/transporterror.h"

QString describeError(const std::exception& error) {
  if (const auto* apiError = dynamic_cast<const APIError*>(&error)) return apiError->errorDescription();
  if (const auto* transportError = dynamic_cast<const TransportError*>(&error)) {
    return transportError->localizedDescription();
  }
  return QString::fromUtf8(error.what());
}
