#include "core/privatefile.h"

#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PrivateFile {

bool writeAtomically(const QString& path, const QByteArray& contents, QString* error) {
  QSaveFile file(path);
  QString failure;
  if (!file.open(QIODevice::WriteOnly)) {
    failure = file.errorString();
  } else if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
    // The temporary file takes the replaced file's rights on opening (or the
    // umask's for a new one): narrowed before a byte is written, or not at all.
    failure = file.errorString();
    file.cancelWriting();
  } else if (const qint64 written = file.write(contents); written != contents.size()) {
    // A full disk cuts a large write short without any error: committing
    // then would replace the file with its first part.
    failure = written < 0 ? file.errorString()
                          : QStringLiteral("only %1 of %2 bytes could be written").arg(written).arg(contents.size());
    file.cancelWriting();
  } else if (!file.commit()) {
    failure = file.errorString();
  }
  if (failure.isEmpty()) return true;
  if (error) *error = failure;
  return false;
}

bool restrict(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  const bool done = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                    ((info.st_mode & 07777) == 0600 || ::fchmod(fd, 0600) == 0);
  ::close(fd);
  return done;
}

}  // namespace PrivateFile
