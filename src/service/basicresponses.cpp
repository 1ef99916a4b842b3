#include "service/basicresponses.h"

#include "service/jsoncoding.h"

MessageResponse MessageResponse::fromJson(const QJsonValue& value) {
  return {JsonObjectReader(value, "MessageResponse").text("message")};
}
