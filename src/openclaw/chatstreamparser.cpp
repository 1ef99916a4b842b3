#include "openclaw/chatstreamparser.h"

#include <QJsonArray>
#include <QJsonDocument>

std::optional<GatewayAgentEvent> ChatStreamParser::feed(const QByteArray& line) {
  if (done_ || !line.startsWith("data: ")) return std::nullopt;
  const QByteArray payload = line.mid(6);
  if (payload == "[DONE]") {
    done_ = true;
    return GatewayAgentEvent::done(accumulated_);
  }
  const QJsonDocument document = QJsonDocument::fromJson(payload);
  if (!document.isObject()) return std::nullopt;
  const QJsonObject chunk = document.object();
  if (std::optional<QString> message = errorMessage(chunk)) {
    // The gateway goes on to "[DONE]", which must not turn this into an empty answer.
    done_ = true;
    failure_ = std::move(message);
    return std::nullopt;
  }
  const std::optional<QString> content = deltaContent(chunk);
  if (!content) return std::nullopt;
  accumulated_ += *content;
  return GatewayAgentEvent::piece(*content, accumulated_);
}

std::optional<GatewayAgentEvent> ChatStreamParser::finish() {
  if (done_) return std::nullopt;
  done_ = true;
  return GatewayAgentEvent::done(accumulated_);
}

std::optional<QString> ChatStreamParser::deltaContent(const QJsonObject& chunk) {
  const QJsonValue choices = chunk.value(QStringLiteral("choices"));
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

std::optional<QString> ChatStreamParser::errorMessage(const QJsonObject& chunk) {
  // {"error":{"message":"…","type":"…"}}; some servers send the message alone.
  const QJsonValue error = chunk.value(QStringLiteral("error"));
  if (error.isString() && !error.toString().trimmed().isEmpty()) return error.toString();
  if (!error.isObject()) return std::nullopt;
  const QJsonObject details = error.toObject();
  for (const char* key : {"message", "type", "code"}) {
    const QJsonValue value = details.value(QLatin1String(key));
    if (value.isString() && !value.toString().trimmed().isEmpty()) return value.toString();
  }
  // An error without a word of explanation is still an error: show what it carried.
  return QString::fromUtf8(QJsonDocument(details).toJson(QJsonDocument::Compact));
}
