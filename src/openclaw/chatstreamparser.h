#pragma once

#include "openclaw/gatewayagentevent.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// Turns the lines of the gateway's streamed chat answer into events. Only
// lines "data: <payload>" count: "[DONE]" ends the answer, a JSON object whose
// first choice carries a non-empty delta content adds that piece, and a JSON
// object with an "error" (the model or its provider failed) ends the answer as
// a failure; every other line is skipped, however malformed.
class ChatStreamParser {
 public:
  // One line without its line end. Gives the event it produces, if any; after
  // "[DONE]" or an error nothing more is read.
  std::optional<GatewayAgentEvent> feed(const QByteArray& line);

  // The stream ended: the done event when "[DONE]" has not given it already.
  std::optional<GatewayAgentEvent> finish();

  bool isDone() const { return done_; }
  // The message of the error the stream reported: the answer failed, and no
  // done event follows.
  const std::optional<QString>& failure() const { return failure_; }
  const QString& accumulated() const { return accumulated_; }

 private:
  static std::optional<QString> deltaContent(const QJsonObject& chunk);
  static std::optional<QString> errorMessage(const QJsonObject& chunk);

  QString accumulated_;
  bool done_ = false;
  std::optional<QString> failure_;
};
