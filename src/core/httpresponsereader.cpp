#include "core/httpresponsereader.h"

#include <cctype>
#include <utility>

namespace {

// Longer heads, chunk lines or trailers are taken for something else than an
// answer of a service.
constexpr qsizetype kMaxHeadBytes = 64 * 1024;
constexpr qsizetype kMaxLineBytes = 4 * 1024;

bool isInterim(int status) { return status == 100 || status == 102 || status == 103; }

bool isToken(const QByteArray& name) {
  if (name.isEmpty()) return false;
  for (const char c : name) {
    if (c <= ' ' || c >= 127 || c == ':') return false;
  }
  return true;
}

// A line of `text` up to its LF, without the LF or a CR before it.
QByteArray withoutLineEnd(QByteArray line) {
  if (line.endsWith('\r')) line.chop(1);
  return line;
}

std::optional<qint64> decimal(const QByteArray& text) {
  if (text.isEmpty() || text.size() > 18) return std::nullopt;
  qint64 value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<qint64> hexadecimal(const QByteArray& text) {
  if (text.isEmpty() || text.size() > 15) return std::nullopt;
  for (const char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
  }
  return text.toLongLong(nullptr, 16);
}

}  // namespace

QByteArray HttpResponseReader::header(const QByteArray& name) const {
  for (const auto& [key, value] : headers_) {
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  }
  return {};
}

void HttpResponseReader::feed(const QByteArray& bytes) {
  if (bytes.isEmpty() || state_ == State::complete || state_ == State::malformed) return;
  receivedAnything_ = true;
  pending_.append(bytes);
  while ((state_ == State::head && readHead()) || (state_ == State::body && readBody())) {
  }
}

void HttpResponseReader::endOfInput() {
  if (state_ == State::body && framing_ == Framing::untilClose) state_ = State::complete;
}

void HttpResponseReader::fail(const char* why) {
  state_ = State::malformed;
  problem_ = QString::fromLatin1(why);
  pending_.clear();
}

bool HttpResponseReader::readHead() {
  // Say at once when the first bytes cannot begin an answer, rather than
  // wait for a blank line that may never come.
  static const QByteArray kVersionPrefix = "HTTP/";
  const qsizetype compared = qMin(pending_.size(), kVersionPrefix.size());
  if (pending_.left(compared) != kVersionPrefix.left(compared)) {
    fail("the answer is not HTTP");
    return false;
  }

  qsizetype end = pending_.indexOf("\n\r\n");
  qsizetype skip = 3;
  if (const qsizetype bare = pending_.indexOf("\n\n"); bare >= 0 && (end < 0 || bare < end)) {
    end = bare;
    skip = 2;
  }
  if (end < 0) {
    if (pending_.size() > kMaxHeadBytes) fail("the answer's head is too long");
    return false;
  }

  const QList<QByteArray> lines = pending_.left(end).split('\n');
  pending_.remove(0, end + skip);

  const QByteArray statusLine = withoutLineEnd(lines.value(0));
  // "HTTP/1.1 200 OK": a version, a space, three digits, then a space or the end.
  const qsizetype space = statusLine.indexOf(' ');
  const QByteArray version = statusLine.left(space);
  const QByteArray code = space < 0 ? QByteArray() : statusLine.mid(space + 1, 3);
  const std::optional<qint64> status = decimal(code);
  if (version.size() != 8 || !version.startsWith("HTTP/1.") || !status || code.size() != 3 || *status < 100 ||
      (statusLine.size() > space + 4 && statusLine.at(space + 4) != ' ')) {
    fail("the answer's status line is not HTTP/1");
    return false;
  }

  QList<QPair<QByteArray, QByteArray>> headers;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray line = withoutLineEnd(lines[i]);
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || !isToken(line.left(colon))) {
      fail("the answer has a malformed header field");
      return false;
    }
    headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
  }

  if (isInterim(static_cast<int>(*status))) return true;  // the real answer follows

  status_ = static_cast<int>(*status);
  headers_ = std::move(headers);

  if (headRequest_ || status_ < 200 || status_ == 204 || status_ == 304) {
    state_ = State::complete;
    return false;
  }
  const QByteArray transferCoding = header("Transfer-Encoding");
  if (!transferCoding.isNull()) {
    // Chunked only when it is the last coding applied; otherwise the body runs to the end.
    const QByteArray last = transferCoding.split(',').constLast().trimmed().toLower();
    framing_ = last == "chunked" ? Framing::chunked : Framing::untilClose;
  } else {
    std::optional<qint64> length;
    for (const auto& [key, value] : std::as_const(headers_)) {
      if (key.compare("Content-Length", Qt::CaseInsensitive) != 0) continue;
      for (const QByteArray& part : value.split(',')) {
        const std::optional<qint64> parsed = decimal(part.trimmed());
        if (!parsed || (length && *length != *parsed)) {
          fail("the answer's Content-Length is not one number");
          return false;
        }
        length = parsed;
      }
    }
    if (length) {
      framing_ = Framing::length;
      announcedLength_ = remaining_ = *length;
    } else {
      framing_ = Framing::untilClose;
    }
  }
  state_ = State::body;
  if (framing_ == Framing::length && remaining_ == 0) state_ = State::complete;
  return state_ == State::body;
}

void HttpResponseReader::appendBody(qsizetype count) {
  if (count == pending_.size() && body_.isEmpty()) {
    body_ = std::exchange(pending_, {});
  } else {
    body_.append(pending_.constData(), count);
    pending_.remove(0, count);
  }
  bodySize_ += count;
}

bool HttpResponseReader::readBody() {
  switch (framing_) {
    case Framing::length: {
      const qsizetype take = static_cast<qsizetype>(qMin<qint64>(remaining_, pending_.size()));
      appendBody(take);
      remaining_ -= take;
      if (remaining_ == 0) {
        state_ = State::complete;
        pending_.clear();  // whatever follows belongs to no answer of ours
      }
      return false;
    }
    case Framing::untilClose:
      appendBody(pending_.size());
      return false;
    case Framing::chunked: return readChunked();
    case Framing::none: break;
  }
  return false;
}

bool HttpResponseReader::readChunked() {
  for (;;) {
    switch (chunkStep_) {
      case ChunkStep::size: {
        const qsizetype lineEnd = pending_.indexOf('\n');
        if (lineEnd < 0) {
          if (pending_.size() > kMaxLineBytes) fail("the answer's chunk size line is too long");
          return false;
        }
        const QByteArray line = withoutLineEnd(pending_.left(lineEnd));
        pending_.remove(0, lineEnd + 1);
        const std::optional<qint64> size = hexadecimal(line.split(';').value(0).trimmed());
        if (!size) {
          fail("the answer's chunk size is not a number");
          return false;
        }
        remaining_ = *size;
        chunkStep_ = *size == 0 ? ChunkStep::trailer : ChunkStep::data;
        break;
      }
      case ChunkStep::data: {
        const qsizetype take = static_cast<qsizetype>(qMin<qint64>(remaining_, pending_.size()));
        appendBody(take);
        remaining_ -= take;
        if (remaining_ > 0) return false;
        chunkStep_ = ChunkStep::dataEnd;
        break;
      }
      case ChunkStep::dataEnd:
        if (pending_.startsWith("\r\n")) {
          pending_.remove(0, 2);
        } else if (pending_.startsWith('\n')) {
          pending_.remove(0, 1);
        } else if (pending_.isEmpty() || pending_ == "\r") {
          return false;
        } else {
          fail("the answer's chunk does not end where its size says");
          return false;
        }
        chunkStep_ = ChunkStep::size;
        break;
      case ChunkStep::trailer: {
        const qsizetype lineEnd = pending_.indexOf('\n');
        if (lineEnd < 0) {
          if (pending_.size() > kMaxLineBytes) fail("the answer's trailer is too long");
          return false;
        }
        const QByteArray line = withoutLineEnd(pending_.left(lineEnd));
        pending_.remove(0, lineEnd + 1);
        if (line.isEmpty()) {
          state_ = State::complete;
          pending_.clear();
          return false;
        }
        break;  // a trailer field: not used
      }
    }
  }
}
