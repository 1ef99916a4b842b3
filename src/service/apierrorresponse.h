#pragma once

#include "service/configmodels.h"

#include <QJsonValue>
#include <QString>

#include <optional>

// The body of a failed request: the service's machine-readable code (upper-case
// words joined by underscores, such as "CREDITS_EXHAUSTED"), its own wording,
// and possibly a configuration update. Strict: without a text "code" and a text
// "message" the body does not count as an error body.
struct APIErrorResponse {
  QString code;                                   // "code"
  QString message;                                // "message"
  std::optional<ConfigUpdatePayload> configUpdate;  // "config_update"

  static APIErrorResponse fromJson(const QJsonValue& value);
  bool operator==(const APIErrorResponse&) const = default;
};
