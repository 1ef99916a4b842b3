#include "service/authmodels.h"

#include "service/jsoncoding.h"

QJsonObject SendCodeRequest::toJson() const { return {{QStringLiteral("email"), email}}; }

QJsonObject LoginRequest::toJson() const {
  return {{QStringLiteral("email"), email}, {QStringLiteral("code"), code}};
}

QJsonObject VerifyInviteRequest::toJson() const {
  return {
      {QStringLiteral("email"), email},
      {QStringLiteral("invite_code"), inviteCode},
      {QStringLiteral("device_id"), deviceId},
      {QStringLiteral("hardware_fingerprint"), hardwareFingerprint},
  };
}

AuthResponse AuthResponse::fromJson(const QJsonValue& value) {
  const JsonObjectReader json(value, "AuthResponse");
  const AuthResponse defaults;
  return {
      json.text("token"),
      json.text("email"),
      json.text("tier", defaults.tier),
      json.boolean("is_new_user", defaults.isNewUser),
      json.boolean("require_invite", defaults.requireInvite),
  };
}

InviteCodeItem InviteCodeItem::fromJson(const QJsonValue& value) {
  const JsonObjectReader json(value, "InviteCodeItem");
  return {json.text("code"), json.boolean("is_used"), json.optionalText("used_by"), json.optionalText("used_at")};
}

MyInviteCodesResponse MyInviteCodesResponse::fromJson(const QJsonValue& value) {
  return {JsonObjectReader(value, "MyInviteCodesResponse").list<InviteCodeItem>("invite_codes")};
}
