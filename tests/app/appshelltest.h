#pragma once

#include "awaittask.h"
#include "core/clock.h"
#include "fakeaccessibilitytrust.h"
#include "fakekeyboardtap.h"
#include "fakemicrophoneaccess.h"
#include "fakeservice.h"
#include "fakesettingslauncher.h"
#include "service/authstore.h"

#include <QByteArray>
#include <QList>

#include <gtest/gtest.h>

// The shell's tests: a fake service the client points at (worked out once
// per process; each test runs in its own process), a trusting desktop with a
// granted microphone, and the shell's delays shrunk a hundredfold.
class AppShellTest : public ::testing::Test {
 protected:
  AppShellTest() {
    qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8());
    Clock::setTimeScaleForTesting(0.01);
    service.route("GET", apiPath("/config/startup"), ScriptedResponse::json(200, R"({"invite_code_enabled":true})"));
    service.route("GET", apiPath("/config/recording"), ScriptedResponse::json(200, R"({"max_duration_sec":90})"));
    service.route("GET", apiPath("/config/plan"),
                  ScriptedResponse::json(200, R"({"tier":"pro","credits_total":100,"credits_remaining":40})"));
    service.route("POST", apiPath("/logs/report"), ScriptedResponse::json(200, "{}"));
  }

  static QByteArray apiPath(const QByteArray& path) { return "/veltrine/api/v1" + path; }

  static void signIn(const QString& email = QStringLiteral("user@example.com")) {
    AuthStore::shared().setEmail(email);
    AuthStore::shared().setToken(QStringLiteral("tok-1"));
  }

  // The paths requested so far, in order.
  QList<QByteArray> requestedPaths() const {
    QList<QByteArray> paths;
    for (const RecordedRequest& request : service.requests()) paths << request.path;
    return paths;
  }

  FakeService service;
  FakeAccessibilityTrust trust{true};
  FakeMicrophoneAccess microphone{MicrophoneAccess::Authorization::authorized};
  FakeKeyboardTap tap;
  FakeSettingsLauncher settings;
};
