#include "core/userdefaults.h"

#include "core/fileaside.h"
#include "core/logging.h"
#include "core/paths.h"
#include "core/privatefile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

struct ReadEntry {
  UserDefaults::Type type;
  QVariant value;
};

// One member of "values": {"type": <name>, "value": <value>}. On failure
// `reason` says what is wrong, never what the value is (it may be a token).
std::optional<ReadEntry> readEntry(const QJsonValue& json, QString& reason) {
  if (!json.isObject()) {
    reason = QStringLiteral("not an object with \"type\" and \"value\"");
    return std::nullopt;
  }
  const QJsonObject item = json.toObject();
  const QJsonValue tag = item.value(QStringLiteral("type"));
  const auto type = typeFromName(tag.toString());
  if (!type) {
    reason = tag.isString() ? QStringLiteral("unknown type \"%1\"").arg(tag.toString())
                            : QStringLiteral("no \"type\" name");
    return std::nullopt;
  }
  auto value = decode(*type, item.value(QStringLiteral("value")));
  if (!value) {
    reason = QStringLiteral("its value is not of type \"%1\"").arg(QLatin1String(typeName(*type)));
    return std::nullopt;
  }
  return ReadEntry{*type, std::move(*value)};
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
  const QString openError = opened ? QString() : file.errorString();
  file.close();

  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(contents, &error);
  if (!opened || error.error != QJsonParseError::NoError || !document.isObject()) {
    // Keep the unreadable file for the user (or a later version) to recover from.
    quarantinedPath_ = FileAside::moveAside(filePath_);
    qCWarning(lcUserDefaults).noquote()
        << QStringLiteral("%1 is not a JSON object (%2); every setting starts unset, the file %3")
               .arg(filePath_, opened ? error.errorString() : openError,
                    quarantinedPath_.isEmpty() ? QStringLiteral("could not be moved aside")
                                               : QStringLiteral("is kept as ") + quarantinedPath_);
    return;
  }

  otherMembers_ = document.object();
  const QJsonValue values = otherMembers_.take(QStringLiteral("values"));
  otherMembers_.remove(QStringLiteral("version"));
  for (auto it = otherMembers_.constBegin(); it != otherMembers_.constEnd(); ++it) {
    qCWarning(lcUserDefaults).noquote()
        << QStringLiteral("%1: \"%2\" is not inside \"values\" and is not read; it stays in the file")
               .arg(filePath_, it.key());
  }
  if (!values.isObject()) {
    if (values.isUndefined()) return;
    // Nothing of it can be kept in place once a setting is written.
    copyAsideBeforeWriting_ = true;
    qCWarning(lcUserDefaults).noquote()
        << QStringLiteral("%1: \"values\" is not an object; every setting starts unset, and the file is copied "
                          "aside before the first change")
               .arg(filePath_);
    return;
  }
  const QJsonObject entries = values.toObject();
  for (auto it = entries.constBegin(); it != entries.constEnd(); ++it) {
    QString reason;
    if (auto entry = readEntry(it.value(), reason)) {
      entries_.insert(it.key(), Entry{entry->type, std::move(entry->value)});
    } else {
      unreadableEntries_.insert(it.key(), it.value());
      qCWarning(lcUserDefaults).noquote()
          << QStringLiteral("%1: the setting \"%2\" cannot be read (%3); it counts as unset and stays in the file "
                            "as written until it is set again")
                 .arg(filePath_, it.key(), reason);
    }
  }
}

bool UserDefaults::persistLocked() {
  QJsonObject values = unreadableEntries_;
  for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
    QJsonObject item;
    item.insert(QStringLiteral("type"), QLatin1String(typeName(it->type)));
    item.insert(QStringLiteral("value"), encode(it->type, it->value));
    values.insert(it.key(), item);
  }
  QJsonObject root = otherMembers_;
  root.insert(QStringLiteral("version"), 1);
  root.insert(QStringLiteral("values"), values);

  if (copyAsideBeforeWriting_) {
    if (QFileInfo::exists(filePath_)) {
      // Not written over before it is kept: the next write tries again.
      const QString aside = FileAside::copyAside(filePath_);
      if (aside.isEmpty()) return false;
      quarantinedPath_ = aside;
    }
    copyAsideBeforeWriting_ = false;
  }
  Paths::ensureDirectory(QFileInfo(filePath_).absolutePath());
  // The account's token lives here: the user's alone, also when the folder was
  // made by someone else with looser rights.
  return PrivateFile::writeAtomically(filePath_, QJsonDocument(root).toJson(QJsonDocument::Indented));
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
    unreadableEntries_.remove(key);
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
    const bool removed = entries_.remove(key) > 0;
    const bool unreadableRemoved = unreadableEntries_.contains(key);
    unreadableEntries_.remove(key);
    if (removed || unreadableRemoved) persistLocked();
  }
  Q_EMIT valueChanged(key);
}
