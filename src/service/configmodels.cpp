#include "service/configmodels.h"

#include "service/jsoncoding.h"

ConfigUpdatePayload ConfigUpdatePayload::fromJson(const QJsonValue& value) {
  const JsonObjectReader json(value, "ConfigUpdatePayload");
  return {json.optionalInteger("max_duration_sec")};
}

UserPlanInfo UserPlanInfo::fromJson(const QJsonValue& value) {
  const JsonObjectReader json(value, "UserPlanInfo");
  const UserPlanInfo defaults;
  return {
      json.text("tier", defaults.tier),
      json.integer("credits_total", defaults.creditsTotal),
      json.integer("credits_used", defaults.creditsUsed),
      json.integer("credits_remaining", defaults.creditsRemaining),
      json.lenientOptionalText("credits_reset_at"),
      json.boolean("invite_code_enabled", defaults.inviteCodeEnabled),
      json.boolean("show_invite_codes_enabled", defaults.showInviteCodesEnabled),
  };
}

AppStartupConfig AppStartupConfig::fromJson(const QJsonValue& value) {
  const JsonObjectReader json(value, "AppStartupConfig");
  const AppStartupConfig defaults;
  return {
      json.boolean("invite_code_enabled", defaults.inviteCodeEnabled),
      json.boolean("show_invite_codes_enabled", defaults.showInviteCodesEnabled),
      json.boolean("registration_limit_enabled", defaults.registrationLimitEnabled),
      json.integer("registration_limit_count", defaults.registrationLimitCount),
  };
}

RecordingConfigResponse RecordingConfigResponse::fromJson(const QJsonValue& value) {
  const JsonObjectReader json(value, "RecordingConfigResponse");
  return {json.integer("max_duration_sec")};
}
