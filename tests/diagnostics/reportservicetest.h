#pragma once

#include "../service/serviceclienttest.h"
#include "crashreports.h"
#include "diagnostics/logreporter.h"

// The process's scripted service, a signed-in user, and no report, marker or
// buffered log entry left from another test.
class ReportServiceTest : public ServiceClientTest {
 protected:
  ReportServiceTest() {
    qputenv("VELTRINE_API_KEY", "key-123");
    AuthStore::shared().setToken(QStringLiteral("tok-1"));
    CrashReports::removeAll();
    emptyLogBuffer();
  }
  ~ReportServiceTest() override {
    emptyLogBuffer();
    CrashReports::removeAll();
    LogReporter::shared().setLaunchStatesSource({});
    Clock::setNowForTesting({});
  }

  void emptyLogBuffer() {
    service.reset();
    service.route("POST", kReportPath, ScriptedResponse::json(200, "{}"));
    AuthStore::shared().setToken(QStringLiteral("tok-1"));
    awaitTask(LogReporter::shared().flush());
    service.reset();
  }

  static constexpr const char* kReportPath = "/veltrine/api/v1/logs/report";

  // The headers the program chose, in the order sent.
  static QList<QByteArray> chosenHeaderNames(const RecordedRequest& request) {
    QList<QByteArray> names;
    for (const QByteArray& name : request.headerNames()) {
      if (name.startsWith("X-") || name == "Authorization" || name == "Content-Type") names << name;
    }
    return names;
  }

  // An answer that never comes; the 10-second time-out then takes half a second.
  static ScriptedResponse noAnswerInTime() {
    Clock::setTimeScaleForTesting(0.05);
    ScriptedResponse stalled;
    stalled.stall = true;
    return stalled;
  }
};
