#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <optional>

// Who started whom, as /proc tells it.
namespace ProcessAncestry {

// The name of the program `pid` runs (its first 15 bytes), empty when gone.
QByteArray nameOf(qint64 pid);

// The parent of `pid`, or nothing when that process is gone (or unreadable).
std::optional<qint64> parentOf(qint64 pid);

// `pid`, its parent, that one's parent and so on, nearest first. Ends before
// the init process and before this program's own process, whose windows never
// belong to a program it started.
QList<qint64> lineOf(qint64 pid);

}  // namespace ProcessAncestry
