#include "diagnostics/logreporter.h"

#include "core/clock.h"
#include "diagnostics/crashreporter.h"
#include "diagnostics/versionstrings.h"
#include "reportservicetest.h"

namespace {

using LogReporterTest = ReportServiceTest;

QString messageOf(const QString& name) { return QLatin1Char('[') + name + QStringLiteral("] 状态快照"); }

QStringList messages(const QList<LogReporter::Entry>& entries) {
  QStringList texts;
  for (const auto& entry : entries) texts << entry.message;
  return texts;
}

TEST_F(LogReporterTest, FlushSendsTheSnapshotWithItsOwnHeadersAndExactBody) {
  Clock::setNowForTesting(
      [] { return QDateTime::fromString(QStringLiteral("2026-12-05T17:05:18.400Z"), Qt::ISODateWithMs); });
  LogReporter::shared().setLaunchStatesSource(
      [] { return LaunchStates{PermissionStatus::granted, PermissionStatus::denied, true}; });
  service.route("POST", kReportPath, ScriptedResponse::json(200, "{}"));

  LogReporter::shared().logSnapshot(QStringLiteral("AppLaunch"));
  awaitTask(LogReporter::shared().flush());

  ASSERT_EQ(service.requestCount(), 1);
  const RecordedRequest request = service.lastRequest();
  EXPECT_EQ(chosenHeaderNames(request),
            (QList<QByteArray>{"Content-Type", "Authorization", "X-API-Key", "X-App-Variant", "X-Client-Platform"}));
  EXPECT_EQ(request.header("Authorization"), "Bearer tok-1");
  EXPECT_EQ(request.header("X-API-Key"), "key-123");

  const QByteArray app = appVersionString().toUtf8();
  const QByteArray os = osVersionString().toUtf8();
  EXPECT_EQ(request.body,
            R"({"app_version":")" + app + R"(","os_version":")" + os +
                R"(","entries":[{"level":"info","tag":"Snapshot","message":"[AppLaunch] )" + QByteArray("状态快照") +
                R"(","extra":{"accessibility":"denied","appVersion":")" + app +
                R"(","hotkeyListening":"true","mic":"granted","openClaw":"unknown","openClaw_binaryFound":"false",)"
                R"("openClaw_binaryPath":"not_found","openClaw_configExists":"false","openClaw_credentialExists":"false",)"
                R"("openClaw_credentialMode":"missing","openClaw_gatewayURL":"http://127.0.0.1:18789",)"
                R"("openClaw_status":"unknown","osVersion":")" + os +
                R"("},"timestamp":"2026-12-05T17:05:18Z"}]})");
  EXPECT_TRUE(LogReporter::shared().buffer().isEmpty());
}

TEST_F(LogReporterTest, AFailedBatchGoesBackInFrontOfNewerEntriesAndTheBufferKeepsItsLimit) {
  service.route("POST", kReportPath, ScriptedResponse::json(500, "{}"));
  for (int i = 0; i < 150; ++i) LogReporter::shared().logSnapshot(QStringLiteral("old%1").arg(i));

  QCoro::Task<void> flushing = LogReporter::shared().flush();
  EXPECT_TRUE(LogReporter::shared().buffer().isEmpty());  // the batch is under way
  for (int i = 0; i < 60; ++i) LogReporter::shared().logSnapshot(QStringLiteral("new%1").arg(i));
  awaitTask(std::move(flushing));

  const QStringList texts = messages(LogReporter::shared().buffer());
  ASSERT_EQ(texts.size(), 200);
  EXPECT_EQ(texts[0], messageOf(QStringLiteral("old0")));
  EXPECT_EQ(texts[150], messageOf(QStringLiteral("new0")));
  EXPECT_EQ(texts[199], messageOf(QStringLiteral("new49")));
  // Appended beyond the limit, the oldest goes.
  LogReporter::shared().logSnapshot(QStringLiteral("newest"));
  EXPECT_EQ(messages(LogReporter::shared().buffer()).mid(199), (QStringList{messageOf(QStringLiteral("newest"))}));
  EXPECT_EQ(messages(LogReporter::shared().buffer()).first(), messageOf(QStringLiteral("old1")));
}

TEST_F(LogReporterTest, OnlyA2xxAnswerEndsTheBatch) {
  const struct { const char* name; ScriptedResponse answer; bool delivered; } cases[] = {
      {"204", ScriptedResponse::text(204, ""), true},
      {"300", ScriptedResponse::json(300, "{}"), false},
      {"500", ScriptedResponse::json(500, "{}"), false},
      {"no answer in time", noAnswerInTime(), false},
      {"200", ScriptedResponse::json(200, "{}"), true},
  };
  qsizetype expected = 0;
  for (const auto& c : cases) {
    service.enqueue("POST", kReportPath, c.answer);
    LogReporter::shared().logSnapshot(QString::fromLatin1(c.name));
    awaitTask(LogReporter::shared().flush());
    expected = c.delivered ? 0 : expected + 1;
    EXPECT_EQ(LogReporter::shared().buffer().size(), expected) << c.name;
  }
  EXPECT_EQ(service.requestCount(), static_cast<int>(std::size(cases)));
}

TEST_F(LogReporterTest, NothingIsSentForAnEmptyBufferOrWhileSignedOut) {
  service.route("POST", kReportPath, ScriptedResponse::json(200, "{}"));
  awaitTask(LogReporter::shared().flush());
  AuthStore::shared().setToken(std::nullopt);
  LogReporter::shared().logSnapshot(QStringLiteral("AppLaunch"));
  awaitTask(LogReporter::shared().flush());
  CrashReporter::shared().save(CrashReports::make(QStringLiteral("a"), QStringLiteral("2026-01-01T00:00:00Z")));
  EXPECT_EQ(awaitTask(CrashReporter::shared().uploadPendingReports()), 0);
  EXPECT_EQ(service.requestCount(), 0);
  EXPECT_EQ(LogReporter::shared().buffer().size(), 1);
  EXPECT_EQ(CrashReporter::shared().pendingReports().size(), 1);
}

}  // namespace
