#pragma once

#include <QString>

// The secret the local gateway expects as a bearer token, with the kind of
// secret the OpenClaw configuration names: "password" or "token". Read from
// the configuration each time it is needed and never kept.
struct GatewayCredential {
  QString mode;
  QString secret;

  bool operator==(const GatewayCredential&) const = default;
};
