#include "core/httpclient.h"
#include "core/httpresponsereader.h"

#include "awaittask.h"
#include "fakeservice.h"

#include <gtest/gtest.h>

namespace {

using State = HttpResponseReader::State;

// Fed whole and byte by byte, an answer reads the same.
TEST(HttpResponseReader, FramesTheBodyAsTheHeadSaysAndRefusesWhatIsNoAnswer) {
  const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n";
  // ended: the connection closed after the bytes.
  const struct { const char* name; QByteArray bytes; bool ended; State state; int status; QByteArray body;
                 bool headRequest = false; } rows[] = {
      {"by length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA", false, State::complete, 200, "hello"},
      {"by length, cut short", "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nhello", true, State::body, 200, "hello"},
      {"bare line feeds", "HTTP/1.1 201 Created\ncontent-length: 2\n\nhi", false, State::complete, 201, "hi"},
      {"chunked, with extension and trailer", chunked + "5;x=1\r\nhello\r\n6\r\n world\r\n0\r\nX-T: 1\r\n\r\nrest",
       false, State::complete, 200, "hello world"},
      {"chunked, cut short", chunked + "5\r\nhel", true, State::body, 200, "hel"},
      {"to the end", "HTTP/1.0 200 OK\r\nTransfer-Encoding: gzip\r\n\r\nabc", true, State::complete, 200, "abc"},
      {"to the end, still open", "HTTP/1.1 200 OK\r\n\r\nabc", false, State::body, 200, "abc"},
      {"after an interim answer", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 202 Accepted\r\nContent-Length: 2\r\n\r\nok",
       false, State::complete, 202, "ok"},
      {"no body after 204", "HTTP/1.1 204 No Content\r\nContent-Length: 3\r\n\r\nabc", false, State::complete, 204, ""},
      {"no body for HEAD", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n", false, State::complete, 200, "", true},
      {"not HTTP", "SSH-2.0-OpenSSH_9.2\r\n\r\n", false, State::malformed, 0, ""},
      {"status of two digits", "HTTP/1.1 20 OK\r\n\r\n", false, State::malformed, 0, ""},
      {"field without a colon", "HTTP/1.1 200 OK\r\nBad Field\r\n\r\n", false, State::malformed, 0, ""},
      {"two lengths", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nabc", false, State::malformed,
       200, ""},
      {"chunk size not a number", chunked + "zz\r\n", false, State::malformed, 200, ""},
      {"chunk longer than its size", chunked + "2\r\nabc\r\n0\r\n\r\n", false, State::malformed, 200, "ab"},
  };
  for (const auto& row : rows) {
    for (const bool bytewise : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (bytewise ? " (byte by byte)" : ""));
      HttpResponseReader reader(row.headRequest);
      QByteArray body;
      if (bytewise) {
        for (const char c : row.bytes) {
          reader.feed(QByteArray(1, c));
          body += reader.takeBody();
        }
      } else {
        reader.feed(row.bytes);
      }
      if (row.ended) reader.endOfInput();
      body += reader.takeBody();
      EXPECT_EQ(reader.state(), row.state);
      EXPECT_EQ(reader.status(), row.status);
      EXPECT_EQ(body, row.body);
      EXPECT_EQ(reader.bodySize(), row.body.size());
      EXPECT_EQ(reader.problem().isEmpty(), row.state != State::malformed);
    }
  }
  HttpResponseReader reader;
  reader.feed("HTTP/1.1 200 OK\r\nX-Name:  padded value \r\nContent-Length: 0\r\n\r\n");
  EXPECT_EQ(reader.header("x-NAME"), "padded value");
}

HttpConnection::Request request(const QUrl& url, const QByteArray& method = "GET") {
  HttpConnection::Request request;
  request.url = url;
  request.method = method;
  return request;
}

QUrl at(const FakeService& service, const char* path) { return QUrl(service.origin().toString() + QLatin1String(path)); }

// The failure a fetch ends with, or nothing and its answer.
std::optional<HttpFailure> failureOf(HttpConnection::Request request, HttpClient::Redirects redirects,
                                     HttpClient::Answer* answer = nullptr) {
  try {
    HttpClient::Answer got = awaitTask(HttpClient::fetch(std::move(request), redirects));
    if (answer) *answer = std::move(got);
  } catch (const HttpFailure& failure) {
    return failure;
  }
  return std::nullopt;
}

ScriptedResponse redirectTo(int status, const QByteArray& location) {
  ScriptedResponse answer = ScriptedResponse::text(status, "moved");
  answer.headers.append({"Location", location});
  return answer;
}

ScriptedResponse raw(const QByteArray& bytes, bool close = false, bool stall = false) {
  ScriptedResponse answer;
  answer.raw = bytes;
  answer.closeWithoutAnswer = close;
  answer.stall = stall;
  return answer;
}

// However the connection ends before its answer, the request reached the peer once (a resent copy would succeed).
TEST(HttpClient, ARequestGoesOutOnceWhateverBecomesOfItsConnection) {
  const struct { const char* name; ScriptedResponse answer; HttpFailure::Kind kind; } rows[] = {
      {"closed after reading the body", raw({}, true), HttpFailure::Kind::connectionLost},
      {"closed in the middle of the answer", raw("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n{\"op\""),
       HttpFailure::Kind::connectionLost},
      {"answered with something else than HTTP", raw("SSH-2.0-OpenSSH_9.2\r\n\r\n"), HttpFailure::Kind::badResponse},
      {"silent past the idle time-out", raw({}, false, true), HttpFailure::Kind::timedOut},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FakeService service;
    service.enqueue("POST", "/upload", row.answer);
    service.enqueue("POST", "/upload", ScriptedResponse::json(200, "{}"));
    HttpConnection::Request upload = request(at(service, "/upload"), "POST");
    upload.body = QByteArray(32000, '\x01');
    upload.idleTimeout = std::chrono::seconds(1);
    const std::optional<HttpFailure> failure = failureOf(upload, HttpClient::Redirects::sameOrigin);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind(), row.kind);
    EXPECT_EQ(service.requestCount(), 1);
    EXPECT_EQ(service.lastRequest().body.size(), 32000);
  }
}

TEST(HttpClient, RedirectionsAreFollowedAsTheCallerAllows) {
  using R = HttpClient::Redirects;
  FakeService service;
  FakeService elsewhere;
  elsewhere.setDefaultResponse(ScriptedResponse::json(200, "{}"));
  service.route("GET", "/loop", redirectTo(302, "/loop"));
  service.setDefaultResponse(ScriptedResponse::json(200, "{}"));
  const QByteArray away = elsewhere.origin().toString().toUtf8() + "/away";
  const QByteArray otherPort = "http://localhost:" + QByteArray::number(elsewhere.port()) + "/away";
  // arrived: at "service" or "elsewhere", the method, path and what was kept.
  const struct { const char* name; QByteArray method; ScriptedResponse answer; R redirects;
                 std::optional<HttpFailure::Kind> failure; int status; QByteArray arrived; } rows[] = {
      {"307 keeps method, body and credentials", "POST", redirectTo(307, "/next"), R::sameOrigin, {}, 200,
       "service POST /next body auth key"},
      {"302 after a POST fetches", "POST", redirectTo(302, "/next"), R::sameOrigin, {}, 200, "service GET /next auth key"},
      {"303 after a PUT fetches", "PUT", redirectTo(303, "/next?x=1"), R::sameOrigin, {}, 200, "service GET /next auth key"},
      {"308 to another origin", "POST", redirectTo(308, away), R::sameOrigin, HttpFailure::Kind::redirectRefused, 0, ""},
      {"302 to another port", "GET", redirectTo(302, otherPort), R::sameOrigin, HttpFailure::Kind::redirectRefused, 0,
       ""},
      {"elsewhere without credentials", "GET", redirectTo(301, away), R::anyOriginNoDowngrade, {}, 200,
       "elsewhere GET /away"},
      {"to something else than http", "GET", redirectTo(302, "ftp://127.0.0.1/x"), R::anyOriginNoDowngrade,
       HttpFailure::Kind::redirectRefused, 0, ""},
      {"not followed", "GET", redirectTo(302, "/next"), R::never, {}, 302, ""},
      {"without a location", "GET", ScriptedResponse::text(302, ""), R::sameOrigin, {}, 302, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    service.clearRequests();
    elsewhere.clearRequests();
    service.enqueue(row.method, "/start", row.answer);
    HttpConnection::Request start = request(at(service, "/start"), row.method);
    start.headers = {{"Authorization", "Bearer tok"}, {"X-API-Key", "k"}};
    if (row.method != "GET") {
      start.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/json")));
      start.body = QByteArray(R"({"word":"Qt"})");
    }
    HttpClient::Answer answer;
    const std::optional<HttpFailure> failure = failureOf(start, row.redirects, &answer);
    EXPECT_EQ(failure ? std::optional(failure->kind()) : std::nullopt, row.failure);
    EXPECT_EQ(answer.status, row.status);
    QByteArray arrived;
    for (FakeService* peer : {&service, &elsewhere}) {
      const QList<RecordedRequest> requests = peer->requests();
      if (peer == &service ? requests.size() < 2 : requests.isEmpty()) continue;
      const RecordedRequest& last = requests.last();
      arrived = (peer == &service ? "service " : "elsewhere ") + last.method + ' ' + last.path;
      if (!last.body.isEmpty()) arrived += " body";
      if (last.hasHeader("Authorization")) arrived += " auth";
      if (last.hasHeader("X-API-Key")) arrived += " key";
      EXPECT_EQ(last.hasHeader("Content-Type"), !last.body.isEmpty());
    }
    EXPECT_EQ(arrived, row.arrived);
  }
  // A loop ends after the last redirection allowed.
  service.clearRequests();
  const std::optional<HttpFailure> loop = failureOf(request(at(service, "/loop")), R::sameOrigin);
  ASSERT_TRUE(loop);
  EXPECT_EQ(loop->kind(), HttpFailure::Kind::other);
  EXPECT_EQ(service.requestCount(), HttpClient::kMaxRedirects + 1);
}

TEST(HttpClient, AnAnswerLongerThanTheCallerAcceptsIsNotReadOn) {
  const qint64 limit = 1024 * 1024;
  // announced: with its Content-Length, else running to the end of the connection.
  const struct { const char* name; qint64 length; bool announced; bool tooLarge; } rows[] = {
      {"announced", 32 * limit, true, true},
      {"streamed", 32 * limit, false, true},
      {"exactly the limit", limit, true, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FakeService service;
    ScriptedResponse answer = ScriptedResponse::json(200, "");
    answer.streamedBody = row.length;
    if (row.announced) answer.headers.append({"Content-Length", QByteArray::number(row.length)});
    service.route("GET", "/big", answer);
    HttpConnection::Request big = request(at(service, "/big"));
    big.bodyLimit = limit;
    const HttpClient::Answer got = awaitTask(HttpClient::fetch(big, HttpClient::Redirects::never));
    EXPECT_EQ(got.bodyTooLarge, row.tooLarge);
    EXPECT_EQ(got.body.size(), row.tooLarge ? 0 : row.length);
    ASSERT_TRUE(waitUntil([&] { return service.streamedBytes().has_value(); }));
    EXPECT_EQ(*service.streamedBytes() < row.length / 2, row.tooLarge);  // the client hung up early
  }
}

}  // namespace
