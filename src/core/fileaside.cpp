#include "core/fileaside.h"

#include "core/clock.h"

#include <QFile>
#include <QFileInfo>

namespace FileAside {

QString moveAside(const QString& path) {
  const QString base =
      path + QStringLiteral(".corrupt-") + Clock::now().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
  QString target = base;
  for (int n = 1; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n) {
    target = base + QLatin1Char('-') + QString::number(n);
  }
  return QFile::rename(path, target) ? target : QString();
}

}  // namespace FileAside
