#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <utility>

// Reads one HTTP/1.x answer from the bytes of a connection as they arrive:
// the status line and header fields, then the body as its framing says
// (Content-Length, chunked transfer coding, or up to the end of the
// connection). Interim answers (100 Continue and its kin) are skipped. It
// knows nothing of sockets, and it never holds more than the bytes not yet
// decoded plus the body not yet taken.
class HttpResponseReader {
 public:
  enum class State { head, body, complete, malformed };

  // A HEAD request's answer has no body, whatever its fields say.
  explicit HttpResponseReader(bool headRequest = false) : headRequest_(headRequest) {}

  void feed(const QByteArray& bytes);
  // The connection ended: a body that runs to the end is complete now; any
  // other unfinished answer stays unfinished.
  void endOfInput();

  State state() const { return state_; }
  bool hasHead() const { return status_ != 0; }
  bool receivedAnything() const { return receivedAnything_; }
  // Why the bytes are not an HTTP answer (state malformed).
  QString problem() const { return problem_; }

  int status() const { return status_; }
  // The first field of that name (case-insensitive), or a null array.
  QByteArray header(const QByteArray& name) const;
  // The body's length announced by Content-Length, when that frames it.
  std::optional<qint64> announcedLength() const { return announcedLength_; }

  // The body bytes decoded so far and not yet taken.
  QByteArray takeBody() { return std::exchange(body_, {}); }
  // Every body byte decoded so far, taken or not.
  qint64 bodySize() const { return bodySize_; }

 private:
  enum class Framing { none, length, chunked, untilClose };
  enum class ChunkStep { size, data, dataEnd, trailer };

  bool readHead();
  bool readBody();
  bool readChunked();
  void appendBody(qsizetype count);
  void fail(const char* why);

  bool headRequest_;
  State state_ = State::head;
  bool receivedAnything_ = false;
  QString problem_;
  QByteArray pending_;  // received, not yet decoded

  int status_ = 0;
  QList<QPair<QByteArray, QByteArray>> headers_;
  Framing framing_ = Framing::none;
  std::optional<qint64> announcedLength_;
  qint64 remaining_ = 0;  // of the body (length) or of the chunk (chunked)
  ChunkStep chunkStep_ = ChunkStep::size;

  QByteArray body_;
  qint64 bodySize_ = 0;
};
