#pragma once

#include "awaittask.h"
#include "core/clock.h"
#include "diagnostics/crashreporter.h"
#include "fakeaccessibilitytrust.h"
#include "fakeidlesleepinhibitor.h"
#include "fakekeyboardtap.h"
#include "fakemicrophoneaccess.h"
#include "fakeservice.h"
#include "fakesettingslauncher.h"
#include "service/authstore.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QList>

#include <gtest/gtest.h>

#include <ostream>

// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// A fake service, a trusting desktop with a granted microphone, delays shrunk a hundredfold.
class AppShellTest : public ::testing::Test {
 protected:
  AppShellTest() {
    clearCrashes();
    qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8());
    Clock::setTimeScaleForTesting(0.01);
    service.route("GET", apiPath("/config/startup"), ScriptedResponse::json(200, R"({"invite_code_enabled":true})"));
    service.route("GET", apiPath("/config/recording"), ScriptedResponse::json(200, R"({"max_duration_sec":90})"));
    service.route("GET", apiPath("/config/plan"),
                  ScriptedResponse::json(200, R"({"tier":"pro","credits_total":100,"credits_remaining":40})"));
    service.route("POST", apiPath("/logs/report"), ScriptedResponse::json(200, "{}"));
  }

  ~AppShellTest() override {
    clearCrashes();
    AuthStore::shared().clearSession();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Clock::setTimeScaleForTesting(1.0);
  }

  static void clearCrashes() {
    QDir(CrashReporter::reportsDirectory()).removeRecursively();
    QDir(CrashReporter::markersDirectory()).removeRecursively();
  }

  static QByteArray apiPath(const QByteArray& path) { return "/veltrine/api/v1" + path; }

  static void signIn(const QString& email = QStringLiteral("user@example.com")) {
    AuthStore::shared().setEmail(email);
    AuthStore::shared().setToken(QStringLiteral("tok-1"));
  }

  QList<QByteArray> requestedPaths() const {
    QList<QByteArray> paths;
    for (const RecordedRequest& request : service.requests()) paths << request.path;
    return paths;
  }

  // One service per process: the client works out its origin once.
  static FakeService& sharedService() {
    static FakeService* const service = new FakeService;
    service->clearRequests();
    return *service;
  }

  FakeService& service = sharedService();
  FakeAccessibilityTrust trust{true};
  FakeMicrophoneAccess microphone{MicrophoneAccess::Authorization::authorized};
  FakeKeyboardTap tap;
  FakeSettingsLauncher settings;
  FakeIdleSleepInhibitor idleSleep;
};
