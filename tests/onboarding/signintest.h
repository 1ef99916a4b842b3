#pragma once

#include "onboarding/signincompletion.h"
#include "service/authstore.h"

#include "awaittask.h"
#include "fakeservice.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <gtest/gtest.h>

// A fake service on loopback that the client's base URL points at (worked out
// once per process; each test is its own process), and a journal of the
// follow-up fetches that a sign-in starts.
class SignInTest : public ::testing::Test {
 protected:
  SignInTest() {
    qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8());
    SignInCompletion::setFetches({
        .recordingConfig = [this] { fetches << QStringLiteral("recordingConfig"); },
        .userPlanInfo = [this] { fetches << QStringLiteral("userPlanInfo"); },
    });
  }
  ~SignInTest() override { SignInCompletion::setFetches({}); }

  static QByteArray apiPath(const QByteArray& path) { return "/veltrine/api/v1" + path; }

  static QJsonObject bodyOf(const RecordedRequest& request) { return QJsonDocument::fromJson(request.body).object(); }

  // Lets queued work (the follow-up fetches) run.
  static void drainEvents() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  FakeService service;
  QStringList fetches;
};

// An error answer of the service with its code.
inline ScriptedResponse serviceError(int status, const QByteArray& code) {
  return ScriptedResponse::json(status, R"({"code":")" + code + R"(","message":"from the service"})");
}
