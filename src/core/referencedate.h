#pragma once

#include <QDateTime>

#include <optional>

// Dates stored as a number of seconds (with fraction) since 1 January 2001
// 00:00:00 UTC, the form the history file and other stored records use.
// QDateTime keeps milliseconds, so a date read and written again keeps its
// value to the millisecond.
namespace ReferenceDate {

// 2001-01-01T00:00:00Z.
QDateTime referenceDate();

double secondsSinceReferenceDate(const QDateTime& date);

// Nothing for a number that is not finite or lies beyond the years QDateTime
// can hold, so a damaged value is never turned into a wrong date.
std::optional<QDateTime> dateFromSecondsSinceReferenceDate(double seconds);

}  // namespace ReferenceDate
