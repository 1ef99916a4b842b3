#include "app/appimagereplacement.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace AppImageReplacement {
namespace {

constexpr qint64 kChunkBytes = 1024 * 1024;

QString copyInto(QFile& from, QFile& to) {
  while (!from.atEnd()) {
    const QByteArray chunk = from.read(kChunkBytes);
    if (chunk.isEmpty() && from.error() != QFileDevice::NoError) return from.errorString();
    // A chunk the disk cuts short is no error to Qt, only a smaller count.
    if (to.write(chunk) != chunk.size()) return QStringLiteral("the copy could not be written: ") + to.errorString();
  }
  if (!to.flush()) return QStringLiteral("the copy could not be written: ") + to.errorString();
  return {};
}

}  // namespace

QString replace(const QString& appImage, const QString& release) {
  const QString target = QFileInfo(appImage).canonicalFilePath();
  struct stat info {};
  if (target.isEmpty() || ::stat(QFile::encodeName(target).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return QStringLiteral("the running AppImage %1 is not a file").arg(appImage);
  }
  QFile source(release);
  if (!source.open(QIODevice::ReadOnly)) return QStringLiteral("the release cannot be read: ") + source.errorString();

  const QFileInfo targetInfo(target);
  QTemporaryFile copy(targetInfo.absolutePath() + QStringLiteral("/.") + targetInfo.fileName() +
                      QStringLiteral(".XXXXXX"));
  if (!copy.open()) {
    return QStringLiteral("no new file can be made in %1: %2").arg(targetInfo.absolutePath(), copy.errorString());
  }
  if (QString failure = copyInto(source, copy); !failure.isEmpty()) return failure;
  // On disk before the rename, so that a crash right after it cannot leave an
  // empty program behind.
  if (::fchmod(copy.handle(), info.st_mode & 07777) != 0 || ::fsync(copy.handle()) != 0) {
    return QStringLiteral("the copy could not be completed: ") + QString::fromLocal8Bit(std::strerror(errno));
  }
  copy.close();
  if (std::rename(QFile::encodeName(copy.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
    return QStringLiteral("the AppImage could not be replaced: ") + QString::fromLocal8Bit(std::strerror(errno));
  }
  copy.setAutoRemove(false);
  return {};
}

}  // namespace AppImageReplacement
