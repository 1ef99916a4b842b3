#include "diagnostics/crashreportstore.h"

#include "core/paths.h"
#include "core/privatefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

QFileInfoList reportFiles(const QString& folder, QDir::Filters filters) {
  QFileInfoList files = QDir(folder).entryInfoList(filters, QDir::NoSort);
  files.erase(std::remove_if(files.begin(), files.end(),
                             [](const QFileInfo& file) { return file.suffix() != QLatin1String("json"); }),
              files.end());
  return files;
}

}  // namespace

QString CrashReportStore::pathOf(const QString& id) const {
  // The id comes from inside a file: it must not lead out of the folder.
  if (id.isEmpty() || id.contains(QLatin1Char('/')) || id == QLatin1String(".") || id == QLatin1String("..")) {
    return {};
  }
  return folder_ + QLatin1Char('/') + id + QStringLiteral(".json");
}

bool CrashReportStore::save(const CrashReport& report) const {
  const QString path = pathOf(report.id);
  const bool written =
      !path.isEmpty() && Paths::ensureDirectory(folder_) && PrivateFile::writeAtomically(path, report.toJson());
  prune();
  return written;
}

void CrashReportStore::prune() const {
  QFileInfoList files = reportFiles(folder_, QDir::Files);
  if (files.size() <= kKeptReports) return;
  const auto dateOf = [](const QFileInfo& file) {
    const QDateTime date = file.lastModified();
    return date.isValid() ? date.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
  };
  std::stable_sort(files.begin(), files.end(),
                   [&dateOf](const QFileInfo& a, const QFileInfo& b) { return dateOf(a) < dateOf(b); });
  for (qsizetype i = 0; i < files.size() - kKeptReports; ++i) QFile::remove(files[i].absoluteFilePath());
}

QList<CrashReport> CrashReportStore::loadAll() const {
  QList<CrashReport> reports;
  for (const QFileInfo& file : reportFiles(folder_, QDir::Files | QDir::Hidden)) {
    QFile input(file.absoluteFilePath());
    if (!input.open(QIODevice::ReadOnly)) continue;
    if (std::optional<CrashReport> report = CrashReport::fromJson(input.readAll())) reports << std::move(*report);
  }
  std::stable_sort(reports.begin(), reports.end(),
                   [](const CrashReport& a, const CrashReport& b) { return a.timestamp > b.timestamp; });
  return reports;
}

QList<CrashReport> CrashReportStore::pendingReports() const {
  QList<CrashReport> pending = loadAll();
  pending.removeIf([](const CrashReport& report) { return report.reported; });
  return pending;
}

void CrashReportStore::markReported(const QString& id) const {
  const QString path = pathOf(id);
  if (path.isEmpty()) return;
  QFile input(path);
  if (!input.open(QIODevice::ReadOnly)) return;
  std::optional<CrashReport> report = CrashReport::fromJson(input.readAll());
  input.close();
  if (!report) return;
  // The file's date stands for the report's creation (the prune order):
  // marking must not make an old report look new.
  const QDateTime created = QFileInfo(path).lastModified();
  report->reported = true;
  if (!PrivateFile::writeAtomically(path, report->toJson())) return;
  QFile written(path);
  if (created.isValid() && written.open(QIODevice::Append)) {
    written.setFileTime(created, QFileDevice::FileModificationTime);
  }
}
