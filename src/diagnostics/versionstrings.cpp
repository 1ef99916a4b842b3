#include "diagnostics/versionstrings.h"

#include "core/appinfo.h"

#include <QRegularExpression>
#include <QSysInfo>

QString appVersionString() {
  const QString version = AppInfo::shortVersion();
  return version.isEmpty() ? QStringLiteral("unknown") : version;
}

// The distribution's release (VERSION_ID of /etc/os-release, read by Qt) is
// what a user names when asked which system they run, so it comes first. Some
// distributions have none (rolling releases, Debian testing): the kernel
// release then stands in, being the one version number every Linux has. Both
// are cut or padded to three numbers, the form the service expects.
QString osVersionString() {
  if (const auto release = threePartVersion(QSysInfo::productVersion())) return *release;
  if (const auto kernel = threePartVersion(QSysInfo::kernelVersion())) return *kernel;
  return QStringLiteral("0.0.0");
}

std::optional<QString> threePartVersion(const QString& text) {
  static const QRegularExpression leadingNumbers(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
  const QRegularExpressionMatch match = leadingNumbers.match(text);
  if (!match.hasMatch()) return std::nullopt;
  QStringList parts;
  for (int group = 1; group <= 3; ++group) {
    bool ok = false;
    const qulonglong number = match.captured(group).toULongLong(&ok);
    parts << QString::number(ok ? number : 0);
  }
  return parts.join(QLatin1Char('.'));
}
