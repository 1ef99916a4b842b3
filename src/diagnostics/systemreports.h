#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// The desktop's own crash reports, which hold the full stack of a fatal
// signal that our handler cannot collect. By default those of
// systemd-coredump, which keeps each core it catches in its folder as
// "core.<process name>.<uid>.<boot id>.<pid>.<microseconds>[.<compression>]"
// and its symbolised stack in the journal (`coredumpctl info <pid>`). Without
// systemd-coredump that folder is missing and no report is found. The setting
// "diagnostic_reports_directory" names another folder to look in. Folders are
// only ever read.
namespace SystemReports {

inline constexpr char kCoredumpFolder[] = "/var/lib/systemd/coredump";

// The configured folder, else systemd-coredump's.
QString directory();

// The report in `folder` written for a crash of this program at `crashTime`:
// among this program's cores of this user and the files named "voice-input…"
// with the extension "ips", those whose date lies within a minute of the
// crash, the one closest to it (on a tie the first listed). A core is dated by
// the microseconds in its name, which systemd-coredump takes at the crash;
// other files by their modification time (they are written once, and Linux
// does not record a creation time everywhere).
std::optional<QString> find(const QString& folder, const QDateTime& crashTime);

}  // namespace SystemReports
