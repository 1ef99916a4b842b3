#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>
#include <stdexcept>
#include <string>

// Reading and writing the service's JSON bodies.
//
// Bodies decode strictly unless a type says otherwise: a required key must be
// there with a value of the right JSON type; an optional key may be missing or
// null, but a value of another type fails the whole body. A few configuration
// bodies read some keys leniently: anything unusable there gives the default.

// Why a body did not decode, in plain English ("\"word\": key missing").
class JsonDecodeError : public std::runtime_error {
 public:
  explicit JsonDecodeError(const QString& description);
  QString description() const { return QString::fromStdString(what()); }
};

// Parses one JSON document of any kind (an object, an array, or a lone string,
// number, Boolean or null). Throws JsonDecodeError when the bytes are not one
// well-formed document (an empty body included).
QJsonValue parseJsonDocument(const QByteArray& bytes);

// Compact JSON in the escaping the service's wire format fixes: a solidus is
// written as "\/", characters outside ASCII stay as UTF-8.
QByteArray encodeCompactJson(const QJsonObject& object);
QByteArray encodeCompactJson(const QJsonArray& array);

// Encoding leaves an absent optional field out of the object, never null.
void insertIfPresent(QJsonObject& object, const char* key, const std::optional<QString>& value);

// Reads the keys of one JSON object. The constructor throws JsonDecodeError
// when the value is not an object; `typeName` only names the type in errors.
class JsonObjectReader {
 public:
  JsonObjectReader(const QJsonValue& value, const char* typeName);

  // Strict reads: a missing key, null or another type throws.
  QString text(const char* key) const;
  bool boolean(const char* key) const;
  qint64 integer(const char* key) const;

  // Strict optional reads: missing or null gives nothing, another type throws.
  std::optional<QString> optionalText(const char* key) const;
  std::optional<qint64> optionalInteger(const char* key) const;

  // Lenient reads: anything unusable gives the fallback.
  QString text(const char* key, const QString& fallback) const;
  std::optional<QString> lenientOptionalText(const char* key) const;
  bool boolean(const char* key, bool fallback) const;
  qint64 integer(const char* key, qint64 fallback) const;

  // The value of a required key (missing or null throws), for types that
  // decode themselves.
  QJsonValue value(const char* key) const;

  // A nested object decoded by T::fromJson (strict).
  template <typename T>
  T object(const char* key) const {
    return T::fromJson(value(key));
  }
  template <typename T>
  std::optional<T> optionalObject(const char* key) const {
    const QJsonValue value = object_.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull()) return std::nullopt;
    return T::fromJson(value);
  }

  // An array whose every element decodes by T::fromJson; one bad element fails it.
  template <typename T>
  QList<T> list(const char* key) const {
    const QJsonValue value = this->value(key);
    if (!value.isArray()) throw wrongType(key, "an array");
    const QJsonArray array = value.toArray();
    QList<T> items;
    items.reserve(array.size());
    for (const QJsonValue& element : array) items.append(T::fromJson(element));
    return items;
  }

 private:
  JsonDecodeError wrongType(const char* key, const char* expected) const;

  QJsonObject object_;
  const char* typeName_;
};

// Whole numbers only, as signed 64-bit: 90 and 90.0 are 90; 90.5, 1e30 and
// text are not integers.
std::optional<qint64> jsonInteger(const QJsonValue& value);
