#pragma once

#include "awaittask.h"
#include "core/clock.h"
#include "fakeservice.h"
#include "service/authstore.h"

#include <gtest/gtest.h>

// A fake service on loopback that the client's address points at (worked out
// once per process; each test runs in its own process), and a signed-in user.
class ReportServiceTest : public ::testing::Test {
 protected:
  ReportServiceTest() {
    qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8());
    qputenv("VELTRINE_API_KEY", "key-123");
    AuthStore::shared().setToken(QStringLiteral("tok-1"));
  }

  static constexpr const char* kReportPath = "/veltrine/api/v1/logs/report";

  // The headers the program chose, in the order sent (Qt adds Host,
  // Connection, Content-Length and the like).
  static QList<QByteArray> chosenHeaderNames(const RecordedRequest& request) {
    QList<QByteArray> names;
    for (const QByteArray& name : request.headerNames()) {
      if (name.startsWith("X-") || name == "Authorization" || name == "Content-Type") names << name;
    }
    return names;
  }

  // An answer that never comes; the 10-second time-out then takes 100 ms.
  static ScriptedResponse noAnswerInTime() {
    Clock::setTimeScaleForTesting(0.01);
    ScriptedResponse stalled;
    stalled.stall = true;
    return stalled;
  }

  FakeService service;
};
