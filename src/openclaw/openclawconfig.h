#pragma once

#include "openclaw/gatewaycredential.h"

#include <QJsonObject>
#include <QString>

#include <optional>

// The parts of the OpenClaw configuration file (~/.openclaw/openclaw.json)
// that the bridge reads: the gateway's credential, its mode and whether its
// chat-completions endpoint is switched on.
class OpenClawConfig {
 public:
  // Nothing when the file is missing or unreadable, or its text is not a JSON
  // object.
  static std::optional<OpenClawConfig> read(const QString& path);
  static std::optional<OpenClawConfig> parse(const QByteArray& text);

  // gateway.auth: the password when the mode ("token" when none is given) is
  // "password" and the password is a non-empty string; otherwise the token
  // when it is a non-empty string, whatever the mode; otherwise nothing.
  std::optional<GatewayCredential> credential() const;

  // gateway.auth holds a token or a password in any form: a non-empty text,
  // or a reference to a secret kept elsewhere ({"source":"store",...}),
  // which the gateway resolves although credential() cannot.
  bool hasGatewaySecret() const;

  // gateway has a "mode" key, whatever its value.
  bool hasGatewayMode() const;

  // gateway.http.endpoints.chatCompletions.enabled is the boolean true.
  bool chatCompletionsEnabled() const;

 private:
  explicit OpenClawConfig(QJsonObject gateway) : gateway_(std::move(gateway)) {}

  QJsonObject gateway_;  // empty when missing or not an object
};
