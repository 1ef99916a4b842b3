#include "core/userdefaults.h"

#include "core/fileaside.h"
#include "core/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>
#include <limits>

namespace {

// On disk every entry carries its type, so that a reload gives back exactly the
// type that was written (JSON alone cannot tell 1 from 1.0 or bytes from text).
// 64-bit integers are written as decimal text: JSON numbers lose precision
// beyond 2^53.
const char* typeName(UserDefaults::Type type) {
  switch (type) {
    case UserDefaults::Type::Text: return "text";
    case UserDefaults::Type::Integer: return "integer";
    case UserDefaults::Type::Double: return "double";
    case UserDefaults::Type::Boolean: return "boolean";
    case UserDefaults::Type::Bytes: return "bytes";
    case UserDefaults::Type::StringList: return "strings";
  }
  return "";
}

std::optional<UserDefaults::Type> typeFromName(const QString& name) {
  using T = UserDefaults::Type;
  for (T type : {T::Text, T::Integer, T::Double, T::Boolean, T::Bytes, T::StringList}) {
    if (name == QLatin1String(typeName(type))) return type;
  }
  return std::nullopt;
}

QJsonValue encode(UserDefaults::Type type, const QVariant& value) {
  using T = UserDefaults::Type;
  switch (type) {
    case T::Text: return value.toString();
    case T::Integer: return QString::number(value.toLongLong());
    case T::Double: {
      // JSON has no NaN or infinity (Qt would write null, and the next start
      // could not read the file back): those three are written as text.
      const double number = value.toDouble();
      if (std::isnan(number)) return QStringLiteral("nan");
      if (std::isinf(number)) return number > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
      return number;
    }
    case T::Boolean: return value.toBool();
    case T::Bytes: return QString::fromLatin1(value.toByteArray().toBase64());
    case T::StringList: return QJsonArray::fromStringList(value.toStringList());
  }
  return {};
}

std::optional<QVariant> decode(UserDefaults::Type type, const QJsonValue& json) {
  using T = UserDefaults::Type;
  switch (type) {
    case T::Text:
      if (json.isString()) return QVariant(json.toString());
      break;
    case T::Integer:
      if (json.isString()) {
        bool ok = false;
        const qlonglong number = json.toString().toLongLong(&ok);
        if (ok) return QVariant(number);
      }
      break;
    case T::Double:
      if (json.isDouble()) return QVariant(json.toDouble());
      if (json == QLatin1String("nan")) return QVariant(std::numeric_limits<double>::quiet_NaN());
      if (json == QLatin1String("inf")) return QVariant(std::numeric_limits<double>::infinity());
      if (json == QLatin1String("-inf")) return QVariant(-std::numeric_limits<double>::infinity());
      break;
    case T::Boolean:
      if (json.isBool()) return QVariant(json.toBool());
      break;
    case T::Bytes:
      if (json.isString()) {
        auto result = QByteArray::fromBase64Encoding(json.toString().toLatin1(),
                                                     QByteArray::AbortOnBase64DecodingErrors);
        if (result) return QVariant(*result);
      }
      break;
    case T::StringList:
      if (json.isArray()) {
        QStringList list;
        for (const QJsonValue& item : json.toArray()) {
          if (!item.isString()) return std::nullopt;
          list << item.toString();
        }
        return QVariant(list);
      }
      break;
  }
  return std::nullopt;
}

}  // namespace

UserDefaults& UserDefaults::shared() {
  static UserDefaults* instance =
      new UserDefaults(Paths::configDirectory() + QStringLiteral("/settings.json"));
  return *instance;
}

UserDefaults::UserDefaults(QString filePath, QObject* parent) : QObject(parent), filePath_(std::move(filePath)) {
  load();
}

void UserDefaults::load() {
  QFile file(filePath_);
  if (!file.exists()) return;
  // A file we cannot read is kept aside as well: the next write would replace it.
  const bool opened = file.open(QIODevice::ReadOnly);
  const QByteArray contents = opened ? file.readAll() : QByteArray();
  file.close();

  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(contents, &error);
  bool valid = opened && error.error == QJsonParseError::NoError && document.isObject() &&
               document.object().value(QStringLiteral("values")).isObject();
  QHash<QString, Entry> loaded;
  if (valid) {
    const QJsonObject values = document.object().value(QStringLiteral("values")).toObject();
    for (auto it = values.begin(); it != values.end() && valid; ++it) {
      const QJsonObject item = it.value().toObject();
      const auto type = typeFromName(item.value(QStringLiteral("type")).toString());
      const auto value = type ? decode(*type, item.value(QStringLiteral("value"))) : std::nullopt;
      if (!value) {
        valid = false;
        break;
      }
      loaded.insert(it.key(), Entry{*type, *value});
    }
  }
  if (valid) {
    entries_ = std::move(loaded);
    return;
  }

  // Keep the unreadable file for the user (or a later version) to recover from.
  quarantinedPath_ = FileAside::moveAside(filePath_);
}

bool UserDefaults::persistLocked() const {
  QJsonObject values;
  for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
    QJsonObject item;
    item.insert(QStringLiteral("type"), QLatin1String(typeName(it->type)));
    item.insert(QStringLiteral("value"), encode(it->type, it->value));
    values.insert(it.key(), item);
  }
  QJsonObject root;
  root.insert(QStringLiteral("version"), 1);
  root.insert(QStringLiteral("values"), values);

  Paths::ensureDirectory(QFileInfo(filePath_).absolutePath());
  QSaveFile file(filePath_);
  if (!file.open(QIODevice::WriteOnly)) return false;
  // The account's token lives here: the user's alone, also when the folder was
  // made by someone else with looser rights (a replaced file keeps its mode).
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  file.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
  return file.commit();
}

template <typename T>
std::optional<T> UserDefaults::read(const QString& key, Type type) const {
  QMutexLocker lock(&mutex_);
  const auto it = entries_.constFind(key);
  if (it == entries_.cend() || it->type != type) return std::nullopt;
  return it->value.value<T>();
}

void UserDefaults::write(const QString& key, Type type, QVariant value) {
  {
    QMutexLocker lock(&mutex_);
    entries_.insert(key, Entry{type, std::move(value)});
    persistLocked();
  }
  Q_EMIT valueChanged(key);
}

bool UserDefaults::contains(const QString& key) const {
  QMutexLocker lock(&mutex_);
  return entries_.contains(key);
}

std::optional<UserDefaults::Type> UserDefaults::typeOf(const QString& key) const {
  QMutexLocker lock(&mutex_);
  const auto it = entries_.constFind(key);
  if (it == entries_.cend()) return std::nullopt;
  return it->type;
}

QStringList UserDefaults::keys() const {
  QMutexLocker lock(&mutex_);
  return entries_.keys();
}

std::optional<QString> UserDefaults::text(const QString& key) const { return read<QString>(key, Type::Text); }
std::optional<qint64> UserDefaults::integer(const QString& key) const { return read<qint64>(key, Type::Integer); }
std::optional<double> UserDefaults::real(const QString& key) const { return read<double>(key, Type::Double); }
std::optional<bool> UserDefaults::boolean(const QString& key) const { return read<bool>(key, Type::Boolean); }
std::optional<QByteArray> UserDefaults::bytes(const QString& key) const { return read<QByteArray>(key, Type::Bytes); }
std::optional<QStringList> UserDefaults::stringList(const QString& key) const {
  return read<QStringList>(key, Type::StringList);
}

void UserDefaults::setText(const QString& key, const QString& value) { write(key, Type::Text, value); }
void UserDefaults::setInteger(const QString& key, qint64 value) { write(key, Type::Integer, QVariant::fromValue(value)); }
void UserDefaults::setReal(const QString& key, double value) { write(key, Type::Double, value); }
void UserDefaults::setBoolean(const QString& key, bool value) { write(key, Type::Boolean, value); }
void UserDefaults::setBytes(const QString& key, const QByteArray& value) { write(key, Type::Bytes, value); }
void UserDefaults::setStringList(const QString& key, const QStringList& value) {
  write(key, Type::StringList, value);
}

void UserDefaults::remove(const QString& key) {
  {
    QMutexLocker lock(&mutex_);
    if (entries_.remove(key) > 0) persistLocked();
  }
  Q_EMIT valueChanged(key);
}
