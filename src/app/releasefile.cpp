#include "app/releasefile.h"

#include <QFile>

namespace ReleaseFile {

Kind kindOf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return Kind::other;
  const QByteArray head = file.read(21);
  // An AppImage's runtime is an ELF file with "AI" and the image type (1 or
  // 2) where ELF leaves padding, at byte 8.
  if (path.endsWith(QLatin1String(".AppImage"), Qt::CaseInsensitive) && head.size() > 10 &&
      head.startsWith("\x7f" "ELF") && head.mid(8, 2) == "AI" && (head.at(10) == 1 || head.at(10) == 2)) {
    return Kind::appImage;
  }
  // A Debian package is an ar archive whose first member is "debian-binary".
  if (path.endsWith(QLatin1String(".deb"), Qt::CaseInsensitive) && head.startsWith("!<arch>\n") &&
      head.mid(8, 13) == "debian-binary") {
    return Kind::debianPackage;
  }
  return Kind::other;
}

}  // namespace ReleaseFile
