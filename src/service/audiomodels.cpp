#include "service/audiomodels.h"

#include "service/jsoncoding.h"

AudioProcessResponse AudioProcessResponse::fromJson(const QJsonValue& value) {
  const JsonObjectReader json(value, "AudioProcessResponse");
  return {
      json.text("operation"),
      actionTypeFromJson(json.value("action_type")),
      json.text("transcript"),
      json.text("result"),
      json.optionalText("model_provider"),
      json.optionalText("model_name"),
      json.optionalText("warning"),
      json.optionalObject<ConfigUpdatePayload>("config_update"),
      json.optionalText("clarify_question"),
      json.optionalInteger("credits_remaining"),
  };
}
