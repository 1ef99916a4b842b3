#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// One diagnostic entry of a log report: the launch snapshot ("info",
// "Snapshot") or a crash ("fatal", "Crash").
struct LogReportEntry {
  QString level;
  QString tag;
  QString message;
  // Left out of the JSON when absent. The service must not rely on the order
  // of its keys.
  std::optional<QMap<QString, QString>> extra;
  QString timestamp;  // ISO 8601, UTC, whole seconds
};

// The body the service's log endpoint takes: the versions and a batch of
// entries, oldest first.
struct LogReportBody {
  QString appVersion;
  QString osVersion;
  QList<LogReportEntry> entries;

  // Compact JSON with the keys in this order:
  //   {"app_version":…,"os_version":…,"entries":[{"level":…,"tag":…,"message":…,"extra":{…},"timestamp":…}]}
  QByteArray toJson() const;
};
