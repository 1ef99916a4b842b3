#pragma once

#include <QJsonValue>
#include <QString>

#include <optional>

// The configuration bodies of the service. The plan and the start-up
// configuration decode leniently: a missing, null or ill-typed key takes its
// default, so any JSON object decodes. The recording configuration and the
// configuration update are strict.

// A new longest recording that a processing answer or an error body may carry.
struct ConfigUpdatePayload {
  std::optional<qint64> maxDurationSec;  // "max_duration_sec", seconds

  static ConfigUpdatePayload fromJson(const QJsonValue& value);
  bool operator==(const ConfigUpdatePayload&) const = default;
};

// GET "/config/plan". Note the tier default "none" (a sign-in answer defaults to "trial").
struct UserPlanInfo {
  QString tier = QStringLiteral("none");       // "tier"
  qint64 creditsTotal = 0;                     // "credits_total"
  qint64 creditsUsed = 0;                      // "credits_used"
  qint64 creditsRemaining = 0;                 // "credits_remaining"
  std::optional<QString> creditsResetAt;       // "credits_reset_at", the timestamp as sent
  bool inviteCodeEnabled = false;              // "invite_code_enabled"
  bool showInviteCodesEnabled = false;         // "show_invite_codes_enabled"

  static UserPlanInfo fromJson(const QJsonValue& value);
  bool operator==(const UserPlanInfo&) const = default;
};

// GET "/config/startup", fetched signed in or not.
struct AppStartupConfig {
  bool inviteCodeEnabled = true;               // "invite_code_enabled"
  bool showInviteCodesEnabled = false;         // "show_invite_codes_enabled"
  bool registrationLimitEnabled = false;       // "registration_limit_enabled"
  qint64 registrationLimitCount = 1000;        // "registration_limit_count"

  static AppStartupConfig fromJson(const QJsonValue& value);
  bool operator==(const AppStartupConfig&) const = default;
};

// GET "/config/recording": the longest recording, a whole number of seconds.
struct RecordingConfigResponse {
  qint64 maxDurationSec = 0;  // "max_duration_sec"

  static RecordingConfigResponse fromJson(const QJsonValue& value);
  bool operator==(const RecordingConfigResponse&) const = default;
};
