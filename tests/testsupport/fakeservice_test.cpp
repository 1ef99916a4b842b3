#include "awaittask.h"
#include "fakeservice.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QCoroNetworkReply>
#include <QCoroTimer>

#include <gtest/gtest.h>

namespace {

QCoro::Task<QNetworkReply*> post(QNetworkAccessManager& manager, QUrl url, QByteArray body) {
  QNetworkRequest request(url);
  request.setRawHeader("X-First", "1");
  request.setRawHeader("Content-Type", "application/json");
  request.setRawHeader("X-Last", "2");
  QNetworkReply* reply = manager.post(request, body);
  co_await reply;
  co_return reply;
}

TEST(FakeService, RecordsRequestsByteForByteAndAnswersAsScripted) {
  FakeService service;
  service.route("POST", "/api/things", ScriptedResponse::json(201, R"({"ok":true})"));
  QNetworkAccessManager manager;
  QUrl url = service.origin();
  url.setPath(QStringLiteral("/api/things"));
  url.setQuery(QStringLiteral("a=1&b=%20"));
  QNetworkReply* reply = awaitTask(post(manager, url, "{\"x\":\"é\"}"));
  EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 201);
  EXPECT_EQ(reply->readAll(), R"({"ok":true})");
  reply->deleteLater();

  const RecordedRequest request = service.lastRequest();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.path, "/api/things");
  EXPECT_EQ(request.query, "a=1&b=%20");
  EXPECT_EQ(request.body, "{\"x\":\"é\"}");
  EXPECT_EQ(request.header("content-type"), "application/json");
  const QList<QByteArray> names = request.headerNames();
  EXPECT_LT(names.indexOf("X-First"), names.indexOf("X-Last"));
  EXPECT_TRUE(request.raw.startsWith("POST /api/things?a=1&b=%20 HTTP/1.1\r\n"));
  EXPECT_TRUE(request.raw.endsWith("\r\n\r\n{\"x\":\"é\"}"));
}

TEST(FakeService, QueuedAnswersComeOnceThenTheRouteAnswers) {
  FakeService service;
  service.route("GET", "/x", ScriptedResponse::json(200, "route"));
  service.enqueue("GET", "/x", ScriptedResponse::json(500, "first"));
  QNetworkAccessManager manager;
  QUrl url = service.origin();
  url.setPath(QStringLiteral("/x"));
  for (const auto& [status, body] : {std::pair{500, QByteArray("first")}, std::pair{200, QByteArray("route")}}) {
    QNetworkReply* reply = manager.get(QNetworkRequest(url));
    ASSERT_TRUE(waitUntil([reply] { return reply->isFinished(); }));
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
    EXPECT_EQ(reply->readAll(), body);
    reply->deleteLater();
  }
}

TEST(FakeService, StallAndClosedConnectionReachTheClient) {
  FakeService service;
  ScriptedResponse stall;
  stall.stall = true;
  service.route("GET", "/stall", stall);
  ScriptedResponse close;
  close.closeWithoutAnswer = true;
  service.route("GET", "/close", close);

  QNetworkAccessManager manager;
  QUrl url = service.origin();
  url.setPath(QStringLiteral("/close"));
  QNetworkReply* closed = manager.get(QNetworkRequest(url));
  ASSERT_TRUE(waitUntil([closed] { return closed->isFinished(); }));
  EXPECT_NE(closed->error(), QNetworkReply::NoError);
  EXPECT_FALSE(closed->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid());

  url.setPath(QStringLiteral("/stall"));
  QNetworkRequest request(url);
  request.setTransferTimeout(300);
  QNetworkReply* stalled = manager.get(request);
  ASSERT_TRUE(waitUntil([stalled] { return stalled->isFinished(); }, std::chrono::seconds(5)));
  EXPECT_EQ(stalled->error(), QNetworkReply::OperationCanceledError);
  // Qt sends an idempotent request once more when the connection closes
  // without an answer, so the closed route sees two requests.
  EXPECT_EQ(service.requestCount(), 3);
  // Destroying the service with a stalled connection must not wait.
}

TEST(AwaitTask, RethrowsTheTasksException) {
  auto failing = []() -> QCoro::Task<int> {
    co_await QCoro::sleepFor(std::chrono::milliseconds(1));
    throw std::logic_error("boom");
  };
  EXPECT_THROW(awaitTask(failing()), std::logic_error);
}

}  // namespace
