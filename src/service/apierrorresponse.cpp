#include "service/apierrorresponse.h"

#include "service/jsoncoding.h"

APIErrorResponse APIErrorResponse::fromJson(const QJsonValue& value) {
  const JsonObjectReader json(value, "APIErrorResponse");
  return {json.text("code"), json.text("message"), json.optionalObject<ConfigUpdatePayload>("config_update")};
}
