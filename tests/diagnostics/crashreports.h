#pragma once

#include "diagnostics/crashreport.h"
#include "diagnostics/crashreporter.h"

#include <QDir>
#include <QFile>
#include <QStringList>

// Helpers for the tests of the crash report folder.
namespace CrashReports {

inline CrashReport make(const QString& id, const QString& timestamp,
                        const QString& signal = QStringLiteral("SIGSEGV")) {
  CrashReport report;
  report.id = id;
  report.timestamp = timestamp;
  report.appVersion = QStringLiteral("0.0.9");
  report.osVersion = QStringLiteral("13.1.0");
  report.signal = signal;
  report.reason = QStringLiteral("Fatal signal ") + signal;
  return report;
}

inline QStringList ids(const QList<CrashReport>& reports) {
  QStringList list;
  for (const CrashReport& report : reports) list << report.id;
  return list;
}

inline QString fileOf(const QString& id) { return CrashReporter::reportsDirectory() + QLatin1Char('/') + id + ".json"; }

// Every report and every marker.
inline void removeAll() {
  for (const QString& path : {CrashReporter::reportsDirectory(), CrashReporter::markersDirectory()}) {
    QDir folder(path);
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) folder.remove(name);
  }
}

inline QStringList markerNames() {
  return QDir(CrashReporter::markersDirectory()).entryList(QDir::Files | QDir::Hidden);
}

inline QByteArray contentsOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace CrashReports
