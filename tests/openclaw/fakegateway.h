#pragma once

#include <QByteArray>
#include <QList>
#include <QUrl>

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// The OpenClaw gateway on 127.0.0.1: GETs answer 404, the chat endpoint streams its scripted chunks,
// each waiting for release() when `gated`.
class FakeGateway {
 public:
  struct Chat {
    int status = 200;
    QList<QByteArray> chunks;
    bool gated = false;
  };

  struct Request {
    std::string method, path;
    httplib::Headers headers;  // names compare without case
    std::string body;
    std::string header(const std::string& name) const {
      const auto found = headers.find(name);
      return found == headers.end() ? std::string() : found->second;
    }
  };

  explicit FakeGateway(int port = 0) {
    server_.set_keep_alive_max_count(1);
    server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
      record(request);
      response.status = 404;
      response.set_content("not found", "text/plain");
    });
    server_.Post("/v1/chat/completions", [this](const httplib::Request& request, httplib::Response& response) {
      record(request);
      Chat chat;
      if (std::lock_guard lock(mutex_); true) chat = chat_;
      response.status = chat.status;
      if (chat.status != 200) {
        response.set_content(chat.chunks.join().toStdString(), "text/plain");
        return;
      }
      response.set_chunked_content_provider(
          "text/event-stream", [this, chat](size_t, httplib::DataSink& sink) {
            for (qsizetype i = 0; i < chat.chunks.size(); ++i) {
              if (chat.gated && !waitForRelease(i)) return false;
              const QByteArray& chunk = chat.chunks[i];
              if (!sink.write(chunk.constData(), size_t(chunk.size()))) return false;
            }
            sink.done();
            return true;
          });
    });
    if (port == 0) {
      port_ = server_.bind_to_any_port("127.0.0.1");
    } else if (server_.bind_to_port("127.0.0.1", port)) {
      port_ = port;
    }
    if (port_ == 0) return;
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  ~FakeGateway() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    released_cv_.notify_all();
    if (!thread_.joinable()) return;
    server_.stop();
    thread_.join();
  }

  QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port_)); }

  void answerChat(Chat chat) {
    std::lock_guard lock(mutex_);
    chat_ = std::move(chat);
  }

  void release() {
    {
      std::lock_guard lock(mutex_);
      ++released_;
    }
    released_cv_.notify_all();
  }

  std::vector<Request> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  void record(const httplib::Request& request) {
    std::lock_guard lock(mutex_);
    requests_.push_back({request.method, request.path, request.headers, request.body});
  }

  bool waitForRelease(qsizetype index) {
    std::unique_lock lock(mutex_);
    released_cv_.wait(lock, [&] { return stopping_ || released_ > index; });
    return !stopping_;
  }

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable released_cv_;
  Chat chat_;
  qsizetype released_ = 0;
  bool stopping_ = false;
  std::vector<Request> requests_;
};
