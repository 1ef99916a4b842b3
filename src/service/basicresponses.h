#pragma once

#include <QJsonValue>
#include <QString>

// The answer of an endpoint whose body the program does not read. Any
// well-formed JSON document decodes; a body that is not JSON (an empty one
// included) does not, so a 204 without a body fails to decode.
struct EmptyResponse {
  static EmptyResponse fromJson(const QJsonValue&) { return {}; }
  bool operator==(const EmptyResponse&) const = default;
};

// The answer of the delete and deactivate endpoints. The operations drop the
// message, but a body without a text "message" still fails to decode.
struct MessageResponse {
  QString message;  // "message"

  static MessageResponse fromJson(const QJsonValue& value);
  bool operator==(const MessageResponse&) const = default;
};
