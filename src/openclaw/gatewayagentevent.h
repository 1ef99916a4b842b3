#pragma once

#include <QString>

// What the gateway's streamed answer produces: a piece of text as it arrives,
// and, once, the finished answer.
struct GatewayAgentEvent {
  enum class Kind { text, done };

  Kind kind = Kind::done;
  QString chunk;  // text: the new piece; done: empty
  QString text;   // text: everything received so far; done: the whole answer (may be empty)

  static GatewayAgentEvent piece(QString chunk, QString accumulated) {
    return {Kind::text, std::move(chunk), std::move(accumulated)};
  }
  static GatewayAgentEvent done(QString whole) { return {Kind::done, QString(), std::move(whole)}; }

  bool operator==(const GatewayAgentEvent&) const = default;
};
