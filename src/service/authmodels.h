#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

// The sign-in bodies. Requests encode only, answers decode only.

// POST "/auth/send-code".
struct SendCodeRequest {
  QString email;  // "email"

  QJsonObject toJson() const;
};

// POST "/auth/verify".
struct LoginRequest {
  QString email;  // "email"
  QString code;   // "code"

  QJsonObject toJson() const;
};

// POST "/auth/verify-invite": completes a new account with an invite code and
// this machine's identity.
struct VerifyInviteRequest {
  QString email;                // "email"
  QString inviteCode;           // "invite_code"
  QString deviceId;             // "device_id"
  QString hardwareFingerprint;  // "hardware_fingerprint"

  QJsonObject toJson() const;
};

// The answer of both verify endpoints. The token and the e-mail are required;
// the other fields read leniently (a missing, null or ill-typed value gives the
// default), so a service that leaves them out still signs the user in.
struct AuthResponse {
  QString token;                         // "token"
  QString email;                         // "email"
  QString tier = QStringLiteral("trial");  // "tier"
  bool isNewUser = false;                // "is_new_user"
  bool requireInvite = false;            // "require_invite": sign-up must go on with an invite code

  static AuthResponse fromJson(const QJsonValue& value);
  bool operator==(const AuthResponse&) const = default;
};

// One of the user's own invite codes; identified by its code.
struct InviteCodeItem {
  QString code;                  // "code"
  bool isUsed = false;           // "is_used"
  std::optional<QString> usedBy;  // "used_by"
  std::optional<QString> usedAt;  // "used_at", the timestamp as sent

  static InviteCodeItem fromJson(const QJsonValue& value);
  bool operator==(const InviteCodeItem&) const = default;
};

// GET "/auth/invite-codes", in the service's order.
struct MyInviteCodesResponse {
  QList<InviteCodeItem> inviteCodes;  // "invite_codes"

  static MyInviteCodesResponse fromJson(const QJsonValue& value);
  bool operator==(const MyInviteCodesResponse&) const = default;
};
