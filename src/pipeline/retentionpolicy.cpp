#include "pipeline/retentionpolicy.h"

#include "localization/appstrings.h"

QString rawValue(RetentionPolicy policy) {
  switch (policy) {
    case RetentionPolicy::forever: return QStringLiteral("forever");
    case RetentionPolicy::thirtyDays: return QStringLiteral("30days");
    case RetentionPolicy::sevenDays: return QStringLiteral("7days");
    case RetentionPolicy::oneDay: return QStringLiteral("1day");
    case RetentionPolicy::never: return QStringLiteral("never");
  }
  return {};
}

std::optional<RetentionPolicy> retentionPolicyFromRawValue(const QString& raw) {
  for (RetentionPolicy policy : allRetentionPolicies()) {
    if (rawValue(policy) == raw) return policy;
  }
  return std::nullopt;
}

const std::array<RetentionPolicy, 5>& allRetentionPolicies() {
  static constexpr std::array policies{RetentionPolicy::forever, RetentionPolicy::thirtyDays,
                                       RetentionPolicy::sevenDays, RetentionPolicy::oneDay,
                                       RetentionPolicy::never};
  return policies;
}

std::optional<std::chrono::seconds> maximumAge(RetentionPolicy policy) {
  switch (policy) {
    case RetentionPolicy::thirtyDays: return std::chrono::seconds(2'592'000);
    case RetentionPolicy::sevenDays: return std::chrono::seconds(604'800);
    case RetentionPolicy::oneDay: return std::chrono::seconds(86'400);
    case RetentionPolicy::forever:
    case RetentionPolicy::never: return std::nullopt;
  }
  return std::nullopt;
}

QString displayName(RetentionPolicy policy) {
  const AppStrings& strings = currentStrings();
  switch (policy) {
    case RetentionPolicy::forever: return strings.historyRetentionForever;
    case RetentionPolicy::thirtyDays: return strings.historyRetention30Days;
    case RetentionPolicy::sevenDays: return strings.historyRetention7Days;
    case RetentionPolicy::oneDay: return strings.historyRetention1Day;
    case RetentionPolicy::never: return strings.historyRetentionNever;
  }
  return {};
}
