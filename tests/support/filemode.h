#pragma once

#include <QFile>
#include <QString>

#include <sys/stat.h>

// The permission bits of the entry at `path` itself (a link is not followed),
// or -1 when there is none: what another user of the machine could read.
inline int fileMode(const QString& path) {
  struct stat info {};
  if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return -1;
  return static_cast<int>(info.st_mode & 07777);
}
