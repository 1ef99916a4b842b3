#include "core/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace Paths {
namespace {

QString environmentPath(const char* name) {
  const QByteArray value = qgetenv(name);
  // The XDG rules ignore relative paths.
  if (value.isEmpty() || !value.startsWith('/')) return {};
  return QString::fromLocal8Bit(value);
}

QString homeSubfolder(const QString& relative) { return QDir::homePath() + QLatin1Char('/') + relative; }

// A private folder must be a real directory of ours that nobody else can read.
bool makePrivateDirectory(const QString& path) {
  if (path.isEmpty()) return false;
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  const QByteArray native = QFile::encodeName(path);
  if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) return false;
  struct stat info {};
  if (::lstat(native.constData(), &info) != 0) return false;
  if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) return false;
  if ((info.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0) return false;
  return true;
}

}  // namespace

bool ensureDirectory(const QString& path, int mode) {
  if (path.isEmpty()) return false;
  if (QFileInfo(path).isDir()) return true;
  if (!QDir().mkpath(path)) return false;
  ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode));
  return true;
}

QString temporaryDirectory() {
  const QString name = QLatin1String(kIdentifier);
  const QString runtime = environmentPath("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty()) {
    const QString candidate = runtime + QLatin1Char('/') + name;
    if (makePrivateDirectory(candidate)) return candidate;
  }
  QString cache = environmentPath("XDG_CACHE_HOME");
  if (cache.isEmpty()) cache = homeSubfolder(QStringLiteral(".cache"));
  const QString base = cache + QLatin1Char('/') + name;
  if (makePrivateDirectory(base) && makePrivateDirectory(base + QStringLiteral("/tmp"))) {
    return base + QStringLiteral("/tmp");
  }
  return {};
}

QString configDirectory() {
  QString base = environmentPath("XDG_CONFIG_HOME");
  if (base.isEmpty()) base = homeSubfolder(QStringLiteral(".config"));
  return base + QLatin1Char('/') + QLatin1String(kIdentifier);
}

QString applicationSupportDirectory() {
  QString base = environmentPath("XDG_DATA_HOME");
  if (base.isEmpty()) base = homeSubfolder(QStringLiteral(".local/share"));
  return base + QLatin1Char('/') + QLatin1String(kIdentifier);
}

QString documentsDirectory() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return documents.isEmpty() ? homeSubfolder(QStringLiteral("Documents")) : documents;
}

}  // namespace Paths
