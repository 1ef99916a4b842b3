#pragma once

#include "core/httpfailure.h"
#include "core/httpresponsereader.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QUrl>

#include <chrono>
#include <coroutine>
#include <optional>

class QTcpSocket;
class QTimer;

// One HTTP/1.1 request on a connection of its own, sent once. The connection
// is opened for this request and closed after its answer ("Connection:
// close"), so nothing is ever sent again on a reused or reopened connection:
// when the connection breaks before the whole answer has arrived, the
// exchange fails (connectionLost) and the request is not repeated. What the
// server does with a request it received is its own; we never send it twice.
//
// Redirections are not followed here (see HttpClient). The connection goes
// through the proxy that ProxyChoice names for the request's URL.
// Main thread only. It starts at construction; watch it with news():
//
//   while (!connection.hasHead() && !connection.isFinished()) {
//     auto news = connection.news();  // a local: GCC 12 mishandles temporaries in co_await
//     co_await news;
//   }
class HttpConnection : public QObject {
  Q_OBJECT

 public:
  struct Request {
    QUrl url;  // http or https, absolute
    QByteArray method = "GET";
    // Sent in this order after "Host". A field whose name or value holds a
    // line break or NUL is left out: it would end the head early.
    QList<QPair<QByteArray, QByteArray>> headers;
    // Sent with its Content-Length (also when empty). Absent: no body and no
    // Content-Length at all.
    std::optional<QByteArray> body;
    // Without anything sent or received for this long the exchange fails (timedOut).
    std::chrono::milliseconds idleTimeout{60'000};
    // A longer answer body fails the exchange (tooLarge) as soon as its
    // length is announced or reached; the rest is never read.
    std::optional<qint64> bodyLimit;
  };

  explicit HttpConnection(Request request, QObject* parent = nullptr);
  ~HttpConnection() override;

  const Request& request() const { return request_; }

  // The answer's status line and fields, once they have arrived.
  bool hasHead() const { return reader_.hasHead(); }
  int status() const { return reader_.status(); }
  QByteArray header(const QByteArray& name) const { return reader_.header(name); }

  // The body bytes that arrived and were not taken yet.
  QByteArray takeBody() { return reader_.takeBody(); }

  // The answer is complete, or the exchange failed.
  bool isFinished() const { return finished_; }
  const std::optional<HttpFailure>& failure() const { return failure_; }

  // Ends the exchange now (cancelled, unless it already finished); nothing more is read.
  void abort();

  // Awaitable: resumes from the event loop once something happened (the
  // head arrived, body bytes arrived, the exchange finished). Ready at once
  // when the exchange has finished. Take what is there before awaiting.
  class News {
   public:
    explicit News(HttpConnection* connection) : connection_(connection) {}
    ~News() { QObject::disconnect(subscription_); }

    bool await_ready() const noexcept { return connection_->isFinished(); }
    void await_suspend(std::coroutine_handle<> waiting);
    void await_resume() const noexcept {}

   private:
    HttpConnection* connection_;
    QMetaObject::Connection subscription_;
  };
  News news() { return News(this); }

 Q_SIGNALS:
  void changed();

 private:
  void start();
  void sendRequest();
  void received();
  void peerClosed();
  // Looks at what the reader has now; `ended`: the connection is gone.
  void settle(bool ended);
  void fail(HttpFailure::Kind kind, const QString& detail);
  void finish(std::optional<HttpFailure> failure);
  void touch();

  Request request_;
  HttpResponseReader reader_;
  QPointer<QTcpSocket> socket_;
  QTimer* idle_ = nullptr;
  bool finished_ = false;
  std::optional<HttpFailure> failure_;
};
