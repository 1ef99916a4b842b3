#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// The program's typed key-value settings, the counterpart of the standard user
// defaults: text, 64-bit integers, doubles, Booleans, bytes and text lists
// under plain keys.
//
// A read names the type it wants and gets nothing when the key is absent or
// holds another type, so callers can tell "never stored" from "stored as
// something else" (typeOf says which). Every write goes to disk at once, as one
// atomic replacement of the JSON file, readable by the user alone (the account's
// token is among the values).
//
// The file may have been edited by hand, so one entry that cannot be read
// costs that key alone: it reads as absent, is logged once with its key, and
// stays in the file as written until the key is set or removed. Members beside
// "values" stay as well. Only a file that is not a JSON object at all is moved
// aside with a time stamp, never overwritten, and the store starts empty; one
// whose "values" is not an object is copied aside before the first write.
class UserDefaults : public QObject {
  Q_OBJECT

 public:
  enum class Type { Text, Integer, Double, Boolean, Bytes, StringList };

  // The store of this user: settings.json in the config folder.
  static UserDefaults& shared();

  // A store over any file (tests, tools). The file is read once, here.
  explicit UserDefaults(QString filePath, QObject* parent = nullptr);

  QString filePath() const { return filePath_; }

  bool contains(const QString& key) const;
  std::optional<Type> typeOf(const QString& key) const;
  QStringList keys() const;

  std::optional<QString> text(const QString& key) const;
  std::optional<qint64> integer(const QString& key) const;
  std::optional<double> real(const QString& key) const;
  std::optional<bool> boolean(const QString& key) const;
  std::optional<QByteArray> bytes(const QString& key) const;
  std::optional<QStringList> stringList(const QString& key) const;

  void setText(const QString& key, const QString& value);
  void setInteger(const QString& key, qint64 value);
  void setReal(const QString& key, double value);
  void setBoolean(const QString& key, bool value);
  void setBytes(const QString& key, const QByteArray& value);
  void setStringList(const QString& key, const QStringList& value);
  void remove(const QString& key);

  // Where the last unreadable file was moved or copied to (empty when none was).
  QString quarantinedPath() const { return quarantinedPath_; }

 Q_SIGNALS:
  // Emitted after every write of `key` (also one that stores an equal value)
  // and after its removal.
  void valueChanged(const QString& key);

 private:
  struct Entry {
    Type type;
    QVariant value;
  };

  template <typename T>
  std::optional<T> read(const QString& key, Type type) const;
  void write(const QString& key, Type type, QVariant value);
  void load();
  bool persistLocked();

  QString filePath_;
  QString quarantinedPath_;
  mutable QMutex mutex_;
  QHash<QString, Entry> entries_;
  // What the file held that could not be read, written back as it was: the
  // unreadable entries of "values" by key, and the members beside "values".
  QJsonObject unreadableEntries_;
  QJsonObject otherMembers_;
  bool copyAsideBeforeWriting_ = false;
};
