#include "service/hotwordmodels.h"

#include "service/jsoncoding.h"

HotWordItem HotWordItem::fromJson(const QJsonValue& value) {
  const JsonObjectReader json(value, "HotWordItem");
  return {json.text("id"), json.text("word"), json.optionalText("created_at")};
}

QJsonObject HotWordItem::toJson() const {
  QJsonObject object{{QStringLiteral("id"), id}, {QStringLiteral("word"), word}};
  insertIfPresent(object, "created_at", createdAt);
  return object;
}

HotWordListResponse HotWordListResponse::fromJson(const QJsonValue& value) {
  return {JsonObjectReader(value, "HotWordListResponse").list<HotWordItem>("hotwords")};
}

QJsonObject HotWordCreateBody::toJson() const { return {{QStringLiteral("word"), word}}; }

QJsonObject HotWordUpdateBody::toJson() const { return {{QStringLiteral("word"), word}}; }
