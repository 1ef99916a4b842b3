#include "openclaw/openclawgatewayclient.h"

#include "core/clock.h"
#include "core/httpclient.h"
#include "openclaw/chatstreamparser.h"
#include "openclaw/gatewayerror.h"
#include "openclaw/openclawgateway.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

namespace {

constexpr std::chrono::seconds kIdleTimeout{120};

// The next whole line of `pending` without its line end (LF, CRLF or CR),
// taken out of it. At the end of the stream the rest counts as a line.
std::optional<QByteArray> takeLine(QByteArray& pending, bool atEnd) {
  for (qsizetype i = 0; i < pending.size(); ++i) {
    const char c = pending.at(i);
    if (c != '\n' && c != '\r') continue;
    qsizetype next = i + 1;
    if (c == '\r') {
      // A CR at the very end may be the first half of a CRLF still on its way.
      if (next == pending.size() && !atEnd) return std::nullopt;
      if (next < pending.size() && pending.at(next) == '\n') ++next;
    }
    QByteArray line = pending.left(i);
    pending.remove(0, next);
    return line;
  }
  if (atEnd && !pending.isEmpty()) {
    QByteArray line = pending;
    pending.clear();
    return line;
  }
  return std::nullopt;
}

bool hasLineBreak(const QString& text) {
  return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

}  // namespace

OpenClawGatewayClient& OpenClawGatewayClient::shared() {
  static OpenClawGatewayClient* instance = new OpenClawGatewayClient();
  return *instance;
}

OpenClawGatewayClient::OpenClawGatewayClient() : baseURL_(OpenClawGateway::defaultURL()) {}

QByteArray OpenClawGatewayClient::requestBody(const QString& message) {
  const QJsonObject user{{QStringLiteral("role"), QStringLiteral("user")}, {QStringLiteral("content"), message}};
  const QJsonObject body{{QStringLiteral("model"), QStringLiteral("openclaw")},
                         {QStringLiteral("stream"), true},
                         {QStringLiteral("messages"), QJsonArray{user}}};
  return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

QCoro::Task<void> OpenClawGatewayClient::streamChat(QString message, QString token, QObject* receiver,
                                                   EventHandler onEvent) {
  const QPointer<QObject> weakReceiver(receiver);
  const auto deliver = [&weakReceiver, &onEvent](const GatewayAgentEvent& event) {
    if (weakReceiver && onEvent) onEvent(event);
  };
  // A line break would end the header early and smuggle the rest in as headers of its own.
  if (hasLineBreak(token)) throw GatewayError::transport(QStringLiteral("The gateway secret contains a line break."));

  // Sent once on a connection of its own: an instruction is never carried
  // out twice because a connection broke before the answer.
  HttpConnection::Request request;
  request.url = OpenClawGateway::endpoint(baseURL_, QStringLiteral("v1/chat/completions"));
  request.method = "POST";
  request.headers = {{"Authorization", "Bearer " + token.toUtf8()},
                     {"Content-Type", "application/json"},
                     {"x-openclaw-agent-id", "main"},
                     {"x-openclaw-session-key", sessionKey().toUtf8()}};
  request.body = requestBody(message);
  // Counted from the last progress: a long answer that keeps streaming never times out.
  request.idleTimeout = Clock::scaled(kIdleTimeout);

  DeleteLaterPtr<HttpConnection> connection;
  try {
    connection = co_await HttpClient::open(std::move(request), HttpClient::Redirects::never);
  } catch (const HttpFailure& failure) {
    throw GatewayError::transport(failure.detail());
  }

  if (connection->status() != 200) {
    QByteArray body;
    for (;;) {
      body += connection->takeBody();
      if (connection->isFinished()) break;
      auto news = connection->news();  // a local: GCC 12 mishandles temporaries inside co_await
      co_await news;
    }
    body.replace("\r", "").replace("\n", "");
    throw GatewayError::httpError(connection->status(), QString::fromUtf8(body));
  }

  ChatStreamParser parser;
  QByteArray pending;
  while (true) {
    pending += connection->takeBody();
    const bool atEnd = connection->isFinished();
    while (const std::optional<QByteArray> line = takeLine(pending, atEnd)) {
      if (const std::optional<GatewayAgentEvent> event = parser.feed(*line)) deliver(*event);
      if (parser.failure()) {
        connection->abort();
        throw GatewayError::streamError(*parser.failure());
      }
      if (parser.isDone()) {
        // Whatever follows "[DONE]" is never read.
        connection->abort();
        co_return;
      }
    }
    if (atEnd) break;
    auto news = connection->news();
    co_await news;
  }
  // A connection that broke mid-answer is a failure, not the end of the answer.
  if (const std::optional<HttpFailure>& failure = connection->failure()) throw GatewayError::transport(failure->detail());
  if (const std::optional<GatewayAgentEvent> event = parser.finish()) deliver(*event);
}
