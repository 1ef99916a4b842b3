#include "service/personamodels.h"

#include "service/jsoncoding.h"

PersonaPrompts PersonaPrompts::fromJson(const QJsonValue& value) {
  const JsonObjectReader json(value, "PersonaPrompts");
  return {
      json.optionalText("transcribe_prompt"), json.boolean("transcribe_enabled"),
      json.optionalText("rewrite_prompt"),    json.boolean("rewrite_enabled"),
      json.optionalText("intent_hint"),       json.boolean("intent_enabled"),
  };
}

QJsonObject PersonaPrompts::toJson() const {
  QJsonObject object{
      {QStringLiteral("transcribe_enabled"), transcribeEnabled},
      {QStringLiteral("rewrite_enabled"), rewriteEnabled},
      {QStringLiteral("intent_enabled"), intentEnabled},
  };
  insertIfPresent(object, "transcribe_prompt", transcribePrompt);
  insertIfPresent(object, "rewrite_prompt", rewritePrompt);
  insertIfPresent(object, "intent_hint", intentHint);
  return object;
}

PersonaItem PersonaItem::fromJson(const QJsonValue& value) {
  const JsonObjectReader json(value, "PersonaItem");
  return {
      json.text("id"),
      json.text("name"),
      json.optionalText("description"),
      json.boolean("is_active"),
      json.object<PersonaPrompts>("prompts"),
  };
}

QJsonObject PersonaItem::toJson() const {
  QJsonObject object{
      {QStringLiteral("id"), id},
      {QStringLiteral("name"), name},
      {QStringLiteral("is_active"), isActive},
      {QStringLiteral("prompts"), prompts.toJson()},
  };
  insertIfPresent(object, "description", description);
  return object;
}

PersonaListResponse PersonaListResponse::fromJson(const QJsonValue& value) {
  return {JsonObjectReader(value, "PersonaListResponse").list<PersonaItem>("personas")};
}

QJsonObject PersonaCreateBody::toJson() const {
  QJsonObject object{{QStringLiteral("name"), name}, {QStringLiteral("prompts"), prompts.toJson()}};
  insertIfPresent(object, "description", description);
  return object;
}

QJsonObject PersonaUpdateBody::toJson() const {
  QJsonObject object;
  insertIfPresent(object, "name", name);
  insertIfPresent(object, "description", description);
  if (prompts) object.insert(QStringLiteral("prompts"), prompts->toJson());
  return object;
}
