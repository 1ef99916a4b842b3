#pragma once

#include <QString>

#include <array>
#include <chrono>
#include <optional>

// How long the history keeps its records. One choice for every account on
// the machine, stored by its raw value under "historyRetentionPolicy".
// (HistoryStore::RetentionPolicy names the same type.)
enum class RetentionPolicy { forever, thirtyDays, sevenDays, oneDay, never };

// "forever", "30days", "7days", "1day", "never".
QString rawValue(RetentionPolicy policy);

// Exactly one of the raw values (case-sensitive); anything else is none.
std::optional<RetentionPolicy> retentionPolicyFromRawValue(const QString& raw);

// All five, in the order a picker lists them.
const std::array<RetentionPolicy, 5>& allRetentionPolicies();

// How old a record may get before the clean-up removes it: 30, 7 or 1 day;
// nothing for `forever` (no limit) and `never` (nothing is kept at all).
std::optional<std::chrono::seconds> maximumAge(RetentionPolicy policy);

// The label a picker shows, read from the interface language of the moment.
QString displayName(RetentionPolicy policy);
