#pragma once

#include <QString>

// What kind of release a downloaded file is. Both its name and its first
// bytes must agree: the feed that names the file is not signed, so a name
// alone could pass a package off as a program and break the installation.
namespace ReleaseFile {

enum class Kind {
  appImage,       // named *.AppImage, an ELF program carrying the AppImage mark
  debianPackage,  // named *.deb, an ar archive that starts with "debian-binary"
  other,
};

Kind kindOf(const QString& path);

}  // namespace ReleaseFile
