#pragma once

#include "service/authstore.h"

#include "awaittask.h"
#include "fakeservice.h"
#include "logcapture.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <gtest/gtest.h>

// A fake service on loopback that the client's base URL points at (worked out
// once per process; each test is its own process).
class SignInTest : public ::testing::Test {
 protected:
  SignInTest() { qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8()); }

  static QByteArray apiPath(const QByteArray& path) { return "/veltrine/api/v1" + path; }

  static QJsonObject bodyOf(const RecordedRequest& request) { return QJsonDocument::fromJson(request.body).object(); }

  // The paths of the requests that arrived, in order.
  QList<QByteArray> paths() const {
    QList<QByteArray> list;
    for (const RecordedRequest& request : service.requests()) list << request.path;
    return list;
  }

  // The configuration fetches a sign-in starts, in the order they started
  // (they race each other on the wire).
  static QStringList fetchesStarted(const LogCapture& log) {
    QStringList started;
    for (const QString& text : log.texts(QStringLiteral("AppDelegate"))) {
      if (text.endsWith(QLatin1String(": start"))) started << text;
    }
    return started;
  }

  static QStringList bothFetches() {
    return {QStringLiteral("fetchRecordingConfig: start"), QStringLiteral("fetchUserPlanInfo: start")};
  }

  FakeService service;
};

// An error answer of the service with its code.
inline ScriptedResponse serviceError(int status, const QByteArray& code) {
  return ScriptedResponse::json(status, R"({"code":")" + code + R"(","message":"from the service"})");
}
