#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QUrl>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// One request as it arrived, byte for byte.
struct RecordedRequest {
  QByteArray method;
  QByteArray target;  // path and query as sent
  QByteArray path;    // without the query
  QByteArray query;   // without the '?'
  QList<QPair<QByteArray, QByteArray>> headers;  // in the order sent, names as sent
  QByteArray body;
  QByteArray raw;  // the whole request: request line, headers, blank line, body

  // The value of the first header of that name (case-insensitive), or a null array.
  QByteArray header(const QByteArray& name) const;
  bool hasHeader(const QByteArray& name) const { return !header(name).isNull(); }
  QList<QByteArray> headerNames() const;
};

// One scripted answer.
struct ScriptedResponse {
  int status = 200;
  QList<QPair<QByteArray, QByteArray>> headers;
  QByteArray body;
  std::chrono::milliseconds delay{0};  // wait before answering
  bool stall = false;                  // never answer (the connection stays open)
  bool closeWithoutAnswer = false;     // close the connection without a byte
  QByteArray raw;                      // written as it is instead of an answer, then the connection closes
  // The status line and headers as scripted, then this many filler bytes until
  // they are out or the client stops reading; then the connection closes.
  qint64 streamedBody = 0;

  static ScriptedResponse json(int status, const QByteArray& body);
  static ScriptedResponse text(int status, const QByteArray& body, const QByteArray& contentType = "text/plain");
};

// An HTTP/1.1 service on 127.0.0.1 that records every request and answers, on
// threads of its own (while the test blocks or spins an event loop), with the
// next queued answer of the request's method and path (each used once), else
// that route's answer, else the handler's, else the default (404, "{}").
class FakeService {
 public:
  FakeService();
  ~FakeService();
  FakeService(const FakeService&) = delete;
  FakeService& operator=(const FakeService&) = delete;

  QUrl origin() const;  // http://127.0.0.1:<port>
  quint16 port() const { return port_; }

  void route(const QByteArray& method, const QByteArray& path, ScriptedResponse response);
  void enqueue(const QByteArray& method, const QByteArray& path, ScriptedResponse response);
  void setDefaultResponse(ScriptedResponse response);
  void setHandler(std::function<ScriptedResponse(const RecordedRequest&)> handler);  // on the service's thread

  QList<RecordedRequest> requests() const;
  RecordedRequest lastRequest() const;
  int requestCount() const;
  // Waits until `count` requests arrived, running this thread's event loop (the client's) meanwhile.
  bool waitForRequests(int count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
  void clearRequests();
  // The filler bytes the last streamed answer got out (all, or up to where the
  // client stopped reading); nothing while one is being written or none was.
  std::optional<qint64> streamedBytes() const;

 private:
  void acceptLoop();
  void serve(int fd);
  void stream(int fd, const ScriptedResponse& answer);

  int listenFd_ = -1;
  quint16 port_ = 0;
  std::thread acceptThread_;
  mutable std::mutex mutex_;
  mutable std::condition_variable arrived_;
  bool stopping_ = false;
  std::vector<std::thread> connectionThreads_;
  std::vector<int> connectionFds_;
  QList<RecordedRequest> requests_;
  std::optional<qint64> streamedBytes_;
  std::map<std::pair<QByteArray, QByteArray>, ScriptedResponse> routes_;
  std::map<std::pair<QByteArray, QByteArray>, QList<ScriptedResponse>> queues_;
  std::function<ScriptedResponse(const RecordedRequest&)> handler_;
  ScriptedResponse defaultResponse_ = ScriptedResponse::json(404, "{}");
};
