#include "openclaw/chatstreamparser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

std::optional<GatewayAgentEvent> ChatStreamParser::feed(const QByteArray& line) {
  if (done_ || !line.startsWith("data: ")) return std::nullopt;
  const QByteArray payload = line.mid(6);
  if (payload == "[DONE]") {
    done_ = true;
    return GatewayAgentEvent::done(accumulated_);
  }
  const std::optional<QString> content = deltaContent(payload);
  if (!content) return std::nullopt;
  accumulated_ += *content;
  return GatewayAgentEvent::piece(*content, accumulated_);
}

std::optional<GatewayAgentEvent> ChatStreamParser::finish() {
  if (done_) return std::nullopt;
  done_ = true;
  return GatewayAgentEvent::done(accumulated_);
}

std::optional<QString> ChatStreamParser::deltaContent(const QByteArray& payload) {
  const QJsonDocument document = QJsonDocument::fromJson(payload);
  if (!document.isObject()) return std::nullopt;
  const QJsonValue choices = document.object().value(QStringLiteral("choices"));
  if (!choices.isArray()) return std::nullopt;
  const QJsonArray list = choices.toArray();
  // Every choice must be an object, as a typed decoding of the array would demand.
  if (list.isEmpty()) return std::nullopt;
  for (const QJsonValue& choice : list) {
    if (!choice.isObject()) return std::nullopt;
  }
  const QJsonValue delta = list.first().toObject().value(QStringLiteral("delta"));
  if (!delta.isObject()) return std::nullopt;
  const QJsonValue content = delta.toObject().value(QStringLiteral("content"));
  if (!content.isString() || content.toString().isEmpty()) return std::nullopt;
  return content.toString();
}
