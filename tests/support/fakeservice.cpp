#include "fakeservice.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace {

// The status line (clients read the code, the phrase is for people) and the headers as scripted.
QByteArray head(const ScriptedResponse& answer) {
  QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " Status\r\n";
  for (const auto& [name, value] : answer.headers) head += name + ": " + value + "\r\n";
  return head;
}

// Reads more bytes into `buffer`; false when the peer closed or we are stopping.
bool readMore(int fd, QByteArray& buffer) {
  char chunk[16384];
  const ssize_t received = ::recv(fd, chunk, sizeof chunk, 0);
  if (received <= 0) return false;
  buffer.append(chunk, static_cast<qsizetype>(received));
  return true;
}

bool readAtLeast(int fd, QByteArray& buffer, qsizetype size) {
  while (buffer.size() < size && readMore(fd, buffer)) {}
  return buffer.size() >= size;
}

void writeAll(int fd, const QByteArray& bytes) {
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t sent = ::send(fd, data, static_cast<size_t>(left), MSG_NOSIGNAL);
    if (sent <= 0) return;
    data += sent;
    left -= sent;
  }
}

}  // namespace

QByteArray RecordedRequest::header(const QByteArray& name) const {
  for (const auto& [key, value] : headers)
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  return {};
}

QList<QByteArray> RecordedRequest::headerNames() const {
  QList<QByteArray> names;
  for (const auto& header : headers) names << header.first;
  return names;
}

ScriptedResponse ScriptedResponse::json(int status, const QByteArray& body) {
  return text(status, body, "application/json");
}

ScriptedResponse ScriptedResponse::text(int status, const QByteArray& body, const QByteArray& contentType) {
  ScriptedResponse response;
  response.status = status;
  response.headers = {{"Content-Type", contentType}};
  response.body = body;
  return response;
}

FakeService::FakeService() {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) throw std::runtime_error("FakeService: no socket");
  sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};  // the port chosen by the system
  socklen_t length = sizeof address;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listenFd_, 64) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("FakeService: cannot listen on 127.0.0.1");
  port_ = ntohs(address.sin_port);
  acceptThread_ = std::thread([this] { acceptLoop(); });
}

FakeService::~FakeService() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (int fd : connectionFds_) ::shutdown(fd, SHUT_RDWR);
  }
  arrived_.notify_all();
  ::shutdown(listenFd_, SHUT_RDWR);  // ends the accept under way
  acceptThread_.join();
  for (auto& thread : connectionThreads_) thread.join();
  ::close(listenFd_);
}

QUrl FakeService::origin() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port_)); }

void FakeService::acceptLoop() {
  for (;;) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    std::lock_guard lock(mutex_);
    if (stopping_ && fd >= 0) ::close(fd);
    if (stopping_) return;
    if (fd < 0) continue;
    connectionFds_.push_back(fd);
    connectionThreads_.emplace_back([this, fd] { serve(fd); });
  }
}

void FakeService::serve(int fd) {
  QByteArray buffer;
  for (;;) {
    qsizetype headerEnd = -1;
    while ((headerEnd = buffer.indexOf("\r\n\r\n")) < 0)
      if (!readMore(fd, buffer)) goto done;
    {
      RecordedRequest request;
      const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
      const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
      request.method = requestLine.value(0);
      request.target = requestLine.value(1);
      const qsizetype question = request.target.indexOf('?');
      request.path = question < 0 ? request.target : request.target.left(question);
      request.query = question < 0 ? QByteArray() : request.target.mid(question + 1);
      for (const QByteArray& line : lines.mid(1))
        if (const qsizetype colon = line.indexOf(':'); colon > 0) request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
      qsizetype consumed = headerEnd + 4;
      if (request.header("Transfer-Encoding").toLower().contains("chunked")) {
        for (;;) {
          qsizetype lineEnd;
          while ((lineEnd = buffer.indexOf("\r\n", consumed)) < 0)
            if (!readMore(fd, buffer)) goto done;
          bool ok = false;
          const qsizetype size = buffer.mid(consumed, lineEnd - consumed).split(';').value(0).trimmed().toLongLong(&ok, 16);
          if (!ok) goto done;
          consumed = lineEnd + 2;
          if (!readAtLeast(fd, buffer, consumed + size + 2)) goto done;
          request.body.append(buffer.mid(consumed, size));
          consumed += size + 2;
          if (size == 0) break;
        }
      } else {
        const qsizetype length = request.header("Content-Length").toLongLong();
        if (!readAtLeast(fd, buffer, consumed + length)) goto done;
        request.body = buffer.mid(consumed, length);
        consumed += length;
      }
      request.raw = buffer.left(consumed);
      buffer.remove(0, consumed);

      {
        std::lock_guard lock(mutex_);
        requests_.append(request);
      }
      arrived_.notify_all();

      const ScriptedResponse answer = [&] {
        std::lock_guard lock(mutex_);
        const auto key = std::make_pair(request.method, request.path);
        if (auto queued = queues_.find(key); queued != queues_.end() && !queued->second.isEmpty())
          return queued->second.takeFirst();
        const auto routed = routes_.find(key);
        return routed != routes_.end() ? routed->second : handler_ ? handler_(request) : defaultResponse_;
      }();
      if (answer.closeWithoutAnswer) goto done;
      if (answer.stall || answer.delay.count() > 0) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, answer.stall ? std::chrono::hours(1) : answer.delay, [this] { return stopping_; });
        if (stopping_) goto done;
      }

      if (!answer.raw.isEmpty() || answer.streamedBody > 0) {
        answer.raw.isEmpty() ? stream(fd, answer) : writeAll(fd, answer.raw);
        goto done;
      }

      const bool bodyless = (answer.status >= 100 && answer.status < 200) || answer.status == 204 || answer.status == 304;
      QByteArray response = head(answer);
      if (!bodyless && std::none_of(answer.headers.cbegin(), answer.headers.cend(), [](const auto& header) {
            return header.first.compare("Content-Length", Qt::CaseInsensitive) == 0;
          }))
        response += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
      writeAll(fd, response + "\r\n" + (bodyless ? QByteArray() : answer.body));
      if (request.header("Connection").toLower() == "close") goto done;
    }
  }
done:
  {
    std::lock_guard lock(mutex_);
    connectionFds_.erase(std::remove(connectionFds_.begin(), connectionFds_.end(), fd), connectionFds_.end());
  }
  ::shutdown(fd, SHUT_RDWR);
  ::close(fd);
}

void FakeService::stream(int fd, const ScriptedResponse& answer) {
  {
    std::lock_guard lock(mutex_);
    streamedBytes_.reset();
  }
  writeAll(fd, head(answer) + "\r\n");
  const QByteArray block(64 * 1024, 'x');
  qint64 written = 0;
  while (written < answer.streamedBody) {
    const ssize_t sent = ::send(fd, block.constData(),
                                static_cast<size_t>(std::min<qint64>(block.size(), answer.streamedBody - written)),
                                MSG_NOSIGNAL);
    if (sent <= 0) break;
    written += sent;
  }
  {
    std::lock_guard lock(mutex_);
    streamedBytes_ = written;
  }
  arrived_.notify_all();
}

std::optional<qint64> FakeService::streamedBytes() const { std::lock_guard lock(mutex_); return streamedBytes_; }

void FakeService::route(const QByteArray& method, const QByteArray& path, ScriptedResponse response) {
  std::lock_guard lock(mutex_);
  routes_[{method, path}] = std::move(response);
}

void FakeService::enqueue(const QByteArray& method, const QByteArray& path, ScriptedResponse response) {
  std::lock_guard lock(mutex_);
  queues_[{method, path}].append(std::move(response));
}

void FakeService::setDefaultResponse(ScriptedResponse response) {
  std::lock_guard lock(mutex_);
  defaultResponse_ = std::move(response);
}

void FakeService::setHandler(std::function<ScriptedResponse(const RecordedRequest&)> handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

QList<RecordedRequest> FakeService::requests() const { std::lock_guard lock(mutex_); return requests_; }

RecordedRequest FakeService::lastRequest() const {
  std::lock_guard lock(mutex_);
  return requests_.isEmpty() ? RecordedRequest{} : requests_.last();
}

int FakeService::requestCount() const { std::lock_guard lock(mutex_); return static_cast<int>(requests_.size()); }

bool FakeService::waitForRequests(int count, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::unique_lock lock(mutex_);
    if (arrived_.wait_for(lock, std::chrono::milliseconds(5), [&] { return requests_.size() >= count; })) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
  }
}

void FakeService::clearRequests() { std::lock_guard lock(mutex_); requests_.clear(); }
