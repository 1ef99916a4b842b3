#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// The desktop's own crash reports, which hold the full stack of a fatal
// signal that our handler cannot collect. Linux has no one place for them
// (systemd-coredump, apport, abrt, or none at all), so the folder is a setting,
// "diagnostic_reports_directory", unset by default: then no report is linked.
// The folder is only ever read.
namespace SystemReports {

// The configured folder, or empty.
QString directory();

// The report in `folder` written for a crash at `crashTime`: among the files
// named "voice-input…" with the extension "ips" whose date lies within a
// minute of the crash, the one closest to it (on a tie the first listed). A
// file's date is its modification time: report files are written once, and
// Linux does not record a creation time everywhere.
std::optional<QString> find(const QString& folder, const QDateTime& crashTime);

}  // namespace SystemReports
