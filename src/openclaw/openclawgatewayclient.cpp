#include "openclaw/openclawgatewayclient.h"

#include "core/applicationexit.h"
#include "core/clock.h"
#include "core/deletelater.h"
#include "openclaw/chatstreamparser.h"
#include "openclaw/gatewayerror.h"
#include "openclaw/openclawgateway.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <coroutine>
#include <memory>

namespace {

constexpr std::chrono::seconds kIdleTimeout{120};

// Suspends until the reply has news: its headers, more bytes, or its end. The
// coroutine resumes from the event loop, never inside the reply's own signal.
class ReplyNews {
 public:
  explicit ReplyNews(QNetworkReply* reply) : reply_(reply) {}
  ~ReplyNews() { disconnect(); }

  bool await_ready() const noexcept { return reply_->isFinished() || reply_->bytesAvailable() > 0; }

  void await_suspend(std::coroutine_handle<> waiting) {
    const auto resume = [this, waiting] {
      disconnect();
      QMetaObject::invokeMethod(reply_, [waiting] { waiting.resume(); }, Qt::QueuedConnection);
    };
    connections_[0] = QObject::connect(reply_, &QNetworkReply::metaDataChanged, reply_, resume);
    connections_[1] = QObject::connect(reply_, &QNetworkReply::readyRead, reply_, resume);
    connections_[2] = QObject::connect(reply_, &QNetworkReply::finished, reply_, resume);
  }

  void await_resume() const noexcept {}

 private:
  void disconnect() {
    for (QMetaObject::Connection& connection : connections_) QObject::disconnect(connection);
  }

  QNetworkReply* reply_;
  QMetaObject::Connection connections_[3];
};

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
  static OpenClawGatewayClient* instance = [] {
    auto* client = new OpenClawGatewayClient();
    // Its connection thread must be gone before the application object is.
    ApplicationExit::beforeApplicationEnds([client] { client->network_.clearConnectionCache(); });
    return client;
  }();
  return *instance;
}

OpenClawGatewayClient::OpenClawGatewayClient() : baseURL_(OpenClawGateway::defaultURL()) {
  // The gateway is on the loopback address: never through a proxy.
  network_.setProxy(QNetworkProxy::NoProxy);
}

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

  QNetworkRequest request(OpenClawGateway::endpoint(baseURL_, QStringLiteral("v1/chat/completions")));
  request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
  request.setRawHeader("Content-Type", "application/json");
  request.setRawHeader("x-openclaw-agent-id", "main");
  request.setRawHeader("x-openclaw-session-key", sessionKey().toUtf8());
  const DeleteLaterPtr<QNetworkReply> reply(network_.post(request, requestBody(message)));
  QNetworkReply* const sent = reply.get();

  // The time-out counts from the last progress: a long answer that keeps
  // streaming never times out.
  const auto timedOut = std::make_shared<bool>(false);
  auto* idle = new QTimer(sent);
  idle->setSingleShot(true);
  idle->setInterval(Clock::scaled(kIdleTimeout));
  QObject::connect(idle, &QTimer::timeout, sent, [sent, timedOut] {
    *timedOut = true;
    sent->abort();
  });
  QObject::connect(sent, &QNetworkReply::downloadProgress, idle, [idle] { idle->start(); });
  QObject::connect(sent, &QNetworkReply::uploadProgress, idle, [idle] { idle->start(); });
  idle->start();

  const auto failure = [&] {
    if (*timedOut) return GatewayError::transport(QStringLiteral("The request timed out."));
    return GatewayError::transport(sent->errorString());
  };

  // The awaiters are locals: GCC 12 mishandles temporaries inside co_await.
  while (!sent->isFinished() && !sent->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
    ReplyNews news(sent);
    co_await news;
  }
  const QVariant status = sent->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (!status.isValid()) throw failure();
  if (status.toInt() != 200) {
    QByteArray body;
    while (true) {
      // Taken as it comes: the wait below returns at once while bytes are unread.
      body += sent->readAll();
      if (sent->isFinished()) break;
      ReplyNews news(sent);
      co_await news;
    }
    body.replace("\r", "").replace("\n", "");
    throw GatewayError::httpError(status.toInt(), QString::fromUtf8(body));
  }

  ChatStreamParser parser;
  QByteArray pending;
  while (true) {
    pending += sent->readAll();
    const bool atEnd = sent->isFinished();
    while (const std::optional<QByteArray> line = takeLine(pending, atEnd)) {
      if (const std::optional<GatewayAgentEvent> event = parser.feed(*line)) deliver(*event);
      if (parser.isDone()) {
        // Whatever follows "[DONE]" is never read.
        idle->stop();
        sent->abort();
        co_return;
      }
    }
    if (atEnd) break;
    ReplyNews news(sent);
    co_await news;
  }
  idle->stop();
  // A connection that broke mid-answer is a failure, not the end of the answer.
  if (sent->error() != QNetworkReply::NoError) throw failure();
  if (const std::optional<GatewayAgentEvent> event = parser.finish()) deliver(*event);
}
