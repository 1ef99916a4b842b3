#pragma once

#include <QDateTime>
#include <QStringView>

#include <optional>

// Reading the internet date-time form of ISO 8601 (RFC 3339) that the service
// writes its time stamps in: "2025-03-05T08:30:00Z",
// "2025-03-05T08:30:00.250+08:00". Exactly that form and nothing looser: the
// date, "T", the time with seconds, optional fractional seconds, and "Z" or an
// offset with a colon ("t" and "z" may be lower case, as RFC 3339 allows).
// A date alone, a time without seconds, a space for "T" or a missing zone is
// no date, so a value of unknown meaning is never shown as if it were one.
namespace InternetDateTime {

// The instant in UTC, to the millisecond (further digits are dropped); nothing
// when the text is not of that form or names no real date ("2025-02-30").
// A leap second (":60") reads as the second before it.
std::optional<QDateTime> parse(QStringView text);

}  // namespace InternetDateTime
