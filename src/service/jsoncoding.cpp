#include "service/jsoncoding.h"

#include <QJsonDocument>

#include <limits>

JsonDecodeError::JsonDecodeError(const QString& description) : std::runtime_error(description.toStdString()) {}

QJsonValue parseJsonDocument(const QByteArray& bytes) {
  // QJsonDocument takes only an object or an array at the top: wrapping the
  // body in brackets accepts exactly one JSON value of any kind, and the
  // element count catches bodies such as "1,2" or an empty body.
  QByteArray wrapped;
  wrapped.reserve(bytes.size() + 2);
  wrapped.append('[').append(bytes).append(']');
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(wrapped, &error);
  if (error.error != QJsonParseError::NoError || !document.isArray() || document.array().size() != 1) {
    const QString reason = error.error != QJsonParseError::NoError ? error.errorString()
                                                                    : QStringLiteral("not exactly one value");
    throw JsonDecodeError(QStringLiteral("the body is not one JSON document (%1)").arg(reason));
  }
  return document.array().first();
}

namespace {

// A solidus can only stand inside a JSON string, so escaping every one of them
// in the compact text is exact.
QByteArray escapeSolidus(QByteArray json) { return json.replace("/", "\\/"); }

}  // namespace

QByteArray encodeCompactJson(const QJsonObject& object) {
  return escapeSolidus(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QByteArray encodeCompactJson(const QJsonArray& array) {
  return escapeSolidus(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

void insertIfPresent(QJsonObject& object, const char* key, const std::optional<QString>& value) {
  if (value) object.insert(QLatin1String(key), *value);
}

std::optional<qint64> jsonInteger(const QJsonValue& value) {
  if (!value.isDouble()) return std::nullopt;
  // Integers the parser kept exact come back unchanged; a double counts only
  // when it is whole and inside the 64-bit range.
  constexpr qint64 sentinel = std::numeric_limits<qint64>::min();
  const qint64 integer = value.toInteger(sentinel);
  if (integer != sentinel) return integer;
  const double number = value.toDouble();
  if (number == static_cast<double>(sentinel)) return sentinel;
  return std::nullopt;
}

JsonObjectReader::JsonObjectReader(const QJsonValue& value, const char* typeName) : typeName_(typeName) {
  if (!value.isObject()) throw JsonDecodeError(QStringLiteral("%1: expected a JSON object").arg(QLatin1String(typeName)));
  object_ = value.toObject();
}

QJsonValue JsonObjectReader::value(const char* key) const {
  const QJsonValue value = object_.value(QLatin1String(key));
  if (value.isUndefined()) {
    throw JsonDecodeError(QStringLiteral("%1: key \"%2\" not found").arg(QLatin1String(typeName_), QLatin1String(key)));
  }
  if (value.isNull()) {
    throw JsonDecodeError(QStringLiteral("%1: \"%2\" is null").arg(QLatin1String(typeName_), QLatin1String(key)));
  }
  return value;
}

JsonDecodeError JsonObjectReader::wrongType(const char* key, const char* expected) const {
  return JsonDecodeError(QStringLiteral("%1: \"%2\" is not %3")
                             .arg(QLatin1String(typeName_), QLatin1String(key), QLatin1String(expected)));
}

QString JsonObjectReader::text(const char* key) const {
  const QJsonValue value = this->value(key);
  if (!value.isString()) throw wrongType(key, "a string");
  return value.toString();
}

bool JsonObjectReader::boolean(const char* key) const {
  const QJsonValue value = this->value(key);
  if (!value.isBool()) throw wrongType(key, "a Boolean");
  return value.toBool();
}

qint64 JsonObjectReader::integer(const char* key) const {
  const std::optional<qint64> number = jsonInteger(value(key));
  if (!number) throw wrongType(key, "an integer");
  return *number;
}

std::optional<QString> JsonObjectReader::optionalText(const char* key) const {
  const QJsonValue value = object_.value(QLatin1String(key));
  if (value.isUndefined() || value.isNull()) return std::nullopt;
  if (!value.isString()) throw wrongType(key, "a string");
  return value.toString();
}

std::optional<qint64> JsonObjectReader::optionalInteger(const char* key) const {
  const QJsonValue value = object_.value(QLatin1String(key));
  if (value.isUndefined() || value.isNull()) return std::nullopt;
  const std::optional<qint64> number = jsonInteger(value);
  if (!number) throw wrongType(key, "an integer");
  return number;
}

QString JsonObjectReader::text(const char* key, const QString& fallback) const {
  const QJsonValue value = object_.value(QLatin1String(key));
  return value.isString() ? value.toString() : fallback;
}

std::optional<QString> JsonObjectReader::lenientOptionalText(const char* key) const {
  const QJsonValue value = object_.value(QLatin1String(key));
  if (!value.isString()) return std::nullopt;
  return value.toString();
}

bool JsonObjectReader::boolean(const char* key, bool fallback) const {
  const QJsonValue value = object_.value(QLatin1String(key));
  return value.isBool() ? value.toBool() : fallback;
}

qint64 JsonObjectReader::integer(const char* key, qint64 fallback) const {
  return jsonInteger(object_.value(QLatin1String(key))).value_or(fallback);
}
