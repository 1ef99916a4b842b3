#include "openclaw/openclawdailylog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <algorithm>

#include <unistd.h>

namespace {

const QString kModeUnset = QStringLiteral("Gateway start blocked: existing config is missing gateway.mode");
// A start lasts minutes, not days: at most this much new log is read.
constexpr qint64 kMostRead = 16 * 1024 * 1024;

bool isOwnFolder(const QString& path) {
  const QFileInfo info(path);
  return info.isDir() && !info.isSymLink() && info.ownerId() == getuid();
}

qint64 sizeOf(const QString& path) {
  const QFileInfo info(path);
  return info.isFile() ? info.size() : 0;
}

// The part of `path` from `offset` on (from the start when the file is now
// shorter: it was replaced).
QByteArray readFrom(const QString& path, qint64 offset) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  if (offset > file.size()) offset = 0;
  offset = std::max(offset, file.size() - kMostRead);
  file.seek(offset);
  return file.readAll();
}

}  // namespace

OpenClawDailyLog::OpenClawDailyLog(QString folder, QDate date, qint64 size)
    : folder_(std::move(folder)), date_(date), size_(size) {}

QString OpenClawDailyLog::folder() {
  // As the tool decides: its shared folder when it is the user's own, else a
  // folder of the user's in the temporary folder.
  const QString shared = QStringLiteral("/tmp/openclaw");
  if (isOwnFolder(shared)) return shared;
  const QString own = QDir::tempPath() + QStringLiteral("/openclaw-") + QString::number(getuid());
  if (isOwnFolder(own)) return own;
  return {};
}

QString OpenClawDailyLog::fileName(const QDate& date) {
  return QStringLiteral("openclaw-") + date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".log");
}

OpenClawDailyLog OpenClawDailyLog::mark() {
  const QString where = folder();
  const QDate today = QDate::currentDate();
  return {where, today, where.isEmpty() ? 0 : sizeOf(where + QLatin1Char('/') + fileName(today))};
}

bool OpenClawDailyLog::showsModeUnsetSinceMark() const {
  const QString where = folder();
  if (where.isEmpty()) return false;
  // The folder may have been made, or the day may have turned, since the mark.
  QList<QDate> days{date_};
  if (QDate::currentDate() != date_) days.append(QDate::currentDate());
  for (const QDate& day : days) {
    const qint64 from = (where == folder_ && day == date_) ? size_ : 0;
    const QByteArray added = readFrom(where + QLatin1Char('/') + fileName(day), from);
    if (QString::fromUtf8(added).contains(kModeUnset)) return true;
  }
  return false;
}
