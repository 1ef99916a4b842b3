#include "diagnostics/systemreports.h"

#include "core/userdefaults.h"

#include <QDir>
#include <QFileInfo>

namespace SystemReports {

QString directory() {
  return UserDefaults::shared().text(QStringLiteral("diagnostic_reports_directory")).value_or(QString());
}

std::optional<QString> find(const QString& folder, const QDateTime& crashTime) {
  if (folder.isEmpty() || !crashTime.isValid()) return std::nullopt;
  // Around the crash's own time, not the search's: a crash found at a later
  // launch still gets its own report, and never the report of another crash.
  constexpr qint64 kWindowMs = 60'000;
  std::optional<QString> closest;
  qint64 closestDistance = kWindowMs + 1;
  const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files, QDir::NoSort);
  for (const QFileInfo& entry : entries) {
    if (!entry.fileName().startsWith(QLatin1String("voice-input")) || entry.suffix() != QLatin1String("ips")) {
      continue;
    }
    const QDateTime written = entry.lastModified();
    if (!written.isValid()) continue;
    const qint64 distance = std::abs(written.msecsTo(crashTime));
    if (distance < closestDistance) {
      closest = entry.absoluteFilePath();
      closestDistance = distance;
    }
  }
  return closest;
}

}  // namespace SystemReports
