#include "diagnostics/crashreporter.h"

#include "crashreports.h"
#include "logcapture.h"
#include "reportservicetest.h"
#include "service/transporterror.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using CrashUploadTest = ReportServiceTest;

QString entryTimestamp(const RecordedRequest& request) {
  return QJsonDocument::fromJson(request.body)["entries"][0]["timestamp"].toString();
}

void savePending(const QStringList& ids) {
  for (int i = 0; i < ids.size(); ++i) {
    CrashReporter::shared().save(
        CrashReports::make(ids[i], QStringLiteral("2026-01-01T00:00:%1Z").arg(i, 2, 10, QLatin1Char('0'))));
  }
}

TEST_F(CrashUploadTest, EachReportGoesAsOneFatalEntryWithItsOwnVersionsAndHeaders) {
  service.route("POST", kReportPath, ScriptedResponse::json(200, "{}"));
  CrashReport signal = CrashReports::make(QStringLiteral("S"), QStringLiteral("2026-01-02T00:00:00Z"));
  signal.reason = QStringLiteral("Fatal signal SIGSEGV \u2014 see system crash report for full stack");
  CrashReport exception = CrashReports::make(QStringLiteral("E"), QStringLiteral("2026-01-01T00:00:00Z"),
                                             QStringLiteral("NSException"));
  exception.reason = QStringLiteral("std::runtime_error: boom");
  for (int i = 0; i < 35; ++i) exception.callStack << QStringLiteral("frame %1").arg(i);
  exception.systemReportPath = QStringLiteral("/reports/voice-input-e.ips");
  CrashReporter::shared().save(signal);
  CrashReporter::shared().save(exception);

  EXPECT_EQ(awaitTask(CrashReporter::shared().uploadPendingReports()), 2);

  const QList<RecordedRequest> requests = service.requests();
  ASSERT_EQ(requests.size(), 2);
  for (const RecordedRequest& request : requests) {
    EXPECT_EQ(chosenHeaderNames(request),
              (QList<QByteArray>{"Content-Type", "Authorization", "X-API-Key", "X-App-Variant"}));
    EXPECT_EQ(request.header("Authorization"), "Bearer tok-1");
    EXPECT_EQ(request.header("X-API-Key"), "key-123");
  }
  // Newest first; a signal crash points at the system report it lacks.
  EXPECT_EQ(requests[0].body,
            R"j({"app_version":"0.0.9","os_version":"13.1.0","entries":[{"level":"fatal","tag":"Crash",)j"
            R"j("message":"[SIGSEGV] Fatal signal SIGSEGV )j" + QByteArray("\u2014") +
                R"j( see system crash report for full stack","extra":{"appVersion":"0.0.9",)j"
                R"j("callStack":"(see system report: not found)","osVersion":"13.1.0","signal":"SIGSEGV",)j"
                R"j("systemReport":""},"timestamp":"2026-01-02T00:00:00Z"}]})j");
  const QJsonObject entry = QJsonDocument::fromJson(requests[1].body)["entries"][0].toObject();
  EXPECT_EQ(entry["message"].toString(), QStringLiteral("[NSException] std::runtime_error: boom"));
  EXPECT_EQ(entry["extra"]["callStack"].toString(), exception.callStack.first(30).join(QLatin1Char('\n')));
  EXPECT_EQ(entry["extra"]["systemReport"].toString(), QStringLiteral("/reports/voice-input-e.ips"));
  EXPECT_TRUE(CrashReporter::shared().pendingReports().isEmpty());
}

// The system log names each uploaded report and each that never arrived; a refusal is not logged.
TEST_F(CrashUploadTest, AFailedReportStaysPendingAndTheOthersAreMarked) {
  const QString timedOut = "Upload failed for second: " + TransportError::timeout().localizedDescription();
  const struct { const char* name; ScriptedResponse failure; QStringList logged; } cases[] = {
      {"HTTP 500", ScriptedResponse::json(500, "{}"), {"Crash report uploaded: third", "Crash report uploaded: first"}},
      {"no answer in time", noAnswerInTime(), {"Crash report uploaded: third", timedOut, "Crash report uploaded: first"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CrashReports::removeAll();
    service.reset();
    savePending({QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")});
    service.enqueue("POST", kReportPath, ScriptedResponse::json(200, "{}"));  // sent newest first
    service.enqueue("POST", kReportPath, c.failure);
    service.enqueue("POST", kReportPath, ScriptedResponse::json(201, "{}"));
    LogCapture log;
    EXPECT_EQ(awaitTask(CrashReporter::shared().uploadPendingReports()), 2);
    EXPECT_EQ(service.requestCount(), 3);
    EXPECT_EQ(CrashReports::ids(CrashReporter::shared().pendingReports()), QStringList{"second"});
    EXPECT_EQ(log.texts(QStringLiteral("CrashReporter")), c.logged);
    EXPECT_EQ(log.contains(QStringLiteral("CrashReporter"), QtCriticalMsg, timedOut), c.logged.contains(timedOut));
  }
}

TEST_F(CrashUploadTest, TwoUploadsAtOnceSendEachReportOnce) {
  ScriptedResponse slow = ScriptedResponse::json(200, "{}");
  slow.delay = std::chrono::milliseconds(50);
  service.route("POST", kReportPath, slow);
  savePending({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});

  QCoro::Task<int> atLaunch = CrashReporter::shared().uploadPendingReports();
  QCoro::Task<int> fromMenu = CrashReporter::shared().uploadPendingReports();
  EXPECT_EQ(awaitTask(std::move(atLaunch)), 3);
  EXPECT_EQ(awaitTask(std::move(fromMenu)), 3);

  QStringList sent;
  for (const RecordedRequest& request : service.requests()) sent << entryTimestamp(request);
  EXPECT_EQ(sent, (QStringList{"2026-01-01T00:00:02Z", "2026-01-01T00:00:01Z", "2026-01-01T00:00:00Z"}));
  EXPECT_TRUE(CrashReporter::shared().pendingReports().isEmpty());
  EXPECT_EQ(awaitTask(CrashReporter::shared().uploadPendingReports()), 0);  // nothing left
}

}  // namespace
