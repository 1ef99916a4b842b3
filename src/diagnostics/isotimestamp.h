#pragma once

#include <QDateTime>
#include <QString>

// A moment as the diagnostics write it: ISO 8601 internet date-time in UTC,
// whole seconds, ending in Z ("2026-12-05T17:05:18Z"). Fixed width, so the
// texts sort in time order.
QString isoTimestamp(const QDateTime& moment);
