#pragma once

#include "diagnostics/crashreport.h"

#include <QList>
#include <QString>

// The folder of crash reports, one "<id>.json" file each. It keeps the 10
// newest files (by file date, whatever the reports' own time stamps say) and
// swallows every file-system failure: a step that fails is skipped, and the
// next launch tries again.
class CrashReportStore {
 public:
  static constexpr qsizetype kKeptReports = 10;

  explicit CrashReportStore(QString folder) : folder_(std::move(folder)) {}

  const QString& folder() const { return folder_; }

  // Writes the report's file atomically, then prunes. True when it was written.
  bool save(const CrashReport& report) const;

  // Deletes the oldest files until 10 remain. A file's date is its modification
  // time (kept when a report is marked), an unreadable one counts as oldest.
  void prune() const;

  // Every report that decodes, newest first by its time stamp. Files that do
  // not decode are skipped and left in place.
  QList<CrashReport> loadAll() const;

  // The reports the service has not accepted yet, newest first.
  QList<CrashReport> pendingReports() const;

  // Sets "reported" in the file of that id; on any failure the file stays as
  // it was.
  void markReported(const QString& id) const;

 private:
  // Empty for an id that cannot be a file name in the folder.
  QString pathOf(const QString& id) const;

  QString folder_;
};
