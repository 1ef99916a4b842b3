#include "core/fileaside.h"

#include "core/clock.h"
#include "core/privatefile.h"

#include <QFile>
#include <QFileInfo>

namespace FileAside {
namespace {

QString freeName(const QString& path) {
  const QString base =
      path + QStringLiteral(".corrupt-") + Clock::now().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
  QString target = base;
  for (int n = 1; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n) {
    target = base + QLatin1Char('-') + QString::number(n);
  }
  return target;
}

}  // namespace

QString moveAside(const QString& path) {
  const QString target = freeName(path);
  if (!QFile::rename(path, target)) return {};
  // A rename keeps the rights of a file written with looser ones.
  PrivateFile::restrict(target);
  return target;
}

QString copyAside(const QString& path) {
  QFile source(path);
  if (!source.open(QIODevice::ReadOnly)) return {};
  const QByteArray contents = source.readAll();
  if (source.error() != QFileDevice::NoError) return {};
  const QString target = freeName(path);
  return PrivateFile::writeAtomically(target, contents) ? target : QString();
}

}  // namespace FileAside
