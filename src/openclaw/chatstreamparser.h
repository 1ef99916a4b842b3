#pragma once

#include "openclaw/gatewayagentevent.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Turns the lines of the gateway's streamed chat answer into events. Only
// lines "data: <payload>" count: "[DONE]" ends the answer, a JSON object whose
// first choice carries a non-empty delta content adds that piece; every other
// line is skipped, however malformed.
class ChatStreamParser {
 public:
  // One line without its line end. Gives the event it produces, if any; after
  // "[DONE]" nothing more is read.
  std::optional<GatewayAgentEvent> feed(const QByteArray& line);

  // The stream ended: the done event when "[DONE]" has not given it already.
  std::optional<GatewayAgentEvent> finish();

  bool isDone() const { return done_; }
  const QString& accumulated() const { return accumulated_; }

 private:
  static std::optional<QString> deltaContent(const QByteArray& payload);

  QString accumulated_;
  bool done_ = false;
};
