// The fake service records what reached its socket and answers as scripted.
#include "awaittask.h"
#include "fakeservice.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <gtest/gtest.h>

namespace {

QNetworkReply* finished(QNetworkReply* reply) {
  EXPECT_TRUE(waitUntil([reply] { return reply->isFinished(); }, std::chrono::seconds(5)));
  reply->deleteLater();
  return reply;
}

TEST(FakeService, RecordsRequestsByteForByteAndAnswersQueuedThenRouted) {
  FakeService service;
  service.route("POST", "/x", ScriptedResponse::json(201, "route"));
  service.enqueue("POST", "/x", ScriptedResponse::json(500, "first"));
  QNetworkAccessManager manager;
  QNetworkRequest request(QUrl(service.origin().toString() + QStringLiteral("/x?a=1&b=%20")));
  request.setRawHeader("X-First", "1");
  request.setRawHeader("Content-Type", "application/json");
  request.setRawHeader("X-Last", "2");
  for (const auto& [status, body] : {std::pair{500, QByteArray("first")}, std::pair{201, QByteArray("route")}}) {
    QNetworkReply* reply = finished(manager.post(request, QByteArray("{\"x\":\"é\"}")));
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
    EXPECT_EQ(reply->readAll(), body);
  }
  const RecordedRequest recorded = service.lastRequest();
  EXPECT_EQ(recorded.path, "/x");
  EXPECT_EQ(recorded.query, "a=1&b=%20");
  EXPECT_EQ(recorded.header("content-type"), "application/json");
  const QList<QByteArray> names = recorded.headerNames();
  EXPECT_LT(names.indexOf("X-First"), names.indexOf("X-Last"));
  EXPECT_TRUE(recorded.raw.startsWith("POST /x?a=1&b=%20 HTTP/1.1\r\n"));
  EXPECT_TRUE(recorded.raw.endsWith("\r\n\r\n{\"x\":\"é\"}"));
}

TEST(FakeService, AStallAndAClosedConnectionReachTheClient) {
  FakeService service;
  ScriptedResponse stall, close;
  stall.stall = true;
  close.closeWithoutAnswer = true;
  service.route("GET", "/stall", stall);
  service.route("GET", "/close", close);
  QNetworkAccessManager manager;
  QNetworkReply* closed = finished(manager.get(QNetworkRequest(QUrl(service.origin().toString() + "/close"))));
  EXPECT_NE(closed->error(), QNetworkReply::NoError);
  EXPECT_FALSE(closed->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid());
  QNetworkRequest request(QUrl(service.origin().toString() + "/stall"));
  request.setTransferTimeout(300);
  EXPECT_EQ(finished(manager.get(request))->error(), QNetworkReply::OperationCanceledError);
  // Destroying the service with a stalled connection must not wait.
}

}  // namespace
