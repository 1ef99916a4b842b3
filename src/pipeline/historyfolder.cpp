#include "pipeline/historyfolder.h"

#include "core/hashes.h"
#include "core/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <filesystem>
#include <system_error>

namespace {

QString ensured(const QString& path) {
  Paths::ensureDirectory(path);
  return path;
}

std::filesystem::path nativePath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

}  // namespace

HistoryFolder::HistoryFolder(const QString& email)
    : directory_(Paths::documentsDirectory() + QStringLiteral("/VoiceInputHistory/") + storageKey(email)) {}

QString HistoryFolder::storageKey(const QString& email) { return Hashes::sha256Hex(email.toUtf8()).left(16); }

QString HistoryFolder::directory() const { return ensured(directory_); }

QString HistoryFolder::historyFile() const { return directory() + QStringLiteral("/recording_history.json"); }

QString HistoryFolder::audioDirectory() const { return ensured(directory() + QStringLiteral("/AudioFiles")); }

bool HistoryFolder::holdsAudioFile(const QString& path) const {
  const QFileInfo entry(path);
  // A relative path would be read against whatever the working folder is.
  if (!entry.isAbsolute()) return false;
  const QString name = entry.fileName();
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
  // Resolve the folder that holds the entry, not the entry itself: removing a
  // link removes the link, so only the folders on the way matter.
  const QString parent = QDir(entry.absolutePath()).canonicalPath();
  const QString root = QDir(audioDirectory()).canonicalPath();
  if (parent.isEmpty() || root.isEmpty()) return false;
  return parent == root || parent.startsWith(root + QLatin1Char('/'));
}

bool HistoryFolder::removeAudioFile(const QString& path) const {
  if (!holdsAudioFile(path)) return false;
  const QFileInfo entry(path);
  if (entry.isDir() && !entry.isSymLink()) return false;
  const QString resolved = QDir(entry.absolutePath()).canonicalPath() + QLatin1Char('/') + entry.fileName();
  return QFile::remove(resolved);
}

std::optional<QString> HistoryFolder::copyAudio(const QString& source, QString* error) const {
  const QString name = QFileInfo(source).fileName();
  if (name.isEmpty()) {
    if (error) *error = QStringLiteral("no file name in \"%1\"").arg(source);
    return std::nullopt;
  }
  const QString destination = audioDirectory() + QLatin1Char('/') + name;
  const QString partial = audioDirectory() + QStringLiteral("/.") + name + QLatin1Char('.') +
                          QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".part");
  std::error_code failure;
  std::filesystem::copy_file(nativePath(source), nativePath(partial), failure);
  // The copy takes the rights of its source, which is not necessarily ours alone.
  if (!failure) {
    using std::filesystem::perms;
    std::filesystem::permissions(nativePath(partial), perms::owner_read | perms::owner_write,
                                 std::filesystem::perm_options::replace, failure);
  }
  if (!failure) std::filesystem::rename(nativePath(partial), nativePath(destination), failure);
  if (failure) {
    QFile::remove(partial);
    if (error) {
      *error = QStringLiteral("cannot copy \"%1\" to \"%2\": %3")
                   .arg(source, destination, QString::fromLocal8Bit(failure.message().c_str()));
    }
    return std::nullopt;
  }
  return destination;
}
