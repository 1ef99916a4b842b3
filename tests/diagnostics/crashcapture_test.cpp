#include "diagnostics/crashreporter.h"

#include "crashreports.h"
#include "filemode.h"
#include "diagnostics/isotimestamp.h"
#include "diagnostics/versionstrings.h"

#include <QDateTime>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Outside the unnamed namespace, so that a captured call stack can name them.
[[gnu::noinline]] void throwNow(bool standard) {
  if (standard) throw std::runtime_error("boom");
  throw 42;
}

[[gnu::noinline]] void throwFromDepth(int depth, bool standard) {
  static volatile int calls = 0;
  if (depth == 0) return throwNow(standard);
  throwFromDepth(depth - 1, standard);
  calls = calls + 1;  // keeps the call from becoming a jump
}

namespace {

// The signal a child that installed the crash handlers and ran `crash` died of, or 0.
template <typename Crash>
int signalOfCrashedChild(Crash crash) {
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    CrashReporter::shared().install();
    crash();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

bool isUpperCaseUuid(const QString& id) {
  static const QRegularExpression uuid(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
  return uuid.match(id).hasMatch();
}

// Whole seconds of the clock the signal handler reads (std::time() may lag it by a tick).
std::time_t realtimeSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec;
}

// On a thread of its own, where nothing catches it (the test framework would).
void uncaughtException(bool standard) {
  std::thread([standard] { throwFromDepth(100, standard); }).join();
}

TEST(CrashCapture, AFatalSignalLeavesOneMarkerThatBecomesOneReport) {
  // Raised rather than caused: a sanitizer would take a real fault for itself.
  const struct { int signal; QByteArray name; } cases[] = {{SIGSEGV, "SIGSEGV"}, {SIGABRT, "SIGABRT"}, {SIGFPE, "SIGFPE"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name.constData());
    CrashReports::removeAll();
    const std::time_t before = realtimeSeconds();
    EXPECT_EQ(signalOfCrashedChild([&c] { std::raise(c.signal); }), c.signal);
    const std::time_t after = realtimeSeconds();

    const QStringList markers = CrashReports::markerNames();
    ASSERT_EQ(markers.size(), 1);
    const QByteArray seconds = markers.first().chopped(int(std::strlen(".crashmarker"))).toLatin1();
    EXPECT_TRUE(seconds.toLongLong() >= before && seconds.toLongLong() <= after) << seconds.constData();
    const QString path = CrashReporter::markersDirectory() + QLatin1Char('/') + markers.first();
    EXPECT_EQ(CrashReports::contentsOf(path), "SIGNAL=" + c.name + "\nTIME=" + seconds + "\n");
    EXPECT_EQ(fileMode(path), 0600);

    CrashReporter::shared().processCrashMarkers();
    const QList<CrashReport> reports = CrashReporter::shared().loadAll();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(fileMode(CrashReports::fileOf(reports[0].id)), 0600);
    EXPECT_EQ(reports[0].timestamp, isoTimestamp(QDateTime::fromSecsSinceEpoch(seconds.toLongLong(), Qt::UTC)));
    EXPECT_TRUE(isUpperCaseUuid(reports[0].id)) << reports[0].id.toStdString();
    EXPECT_EQ(reports[0].signal, QString::fromLatin1(c.name));
    EXPECT_EQ(reports[0].appVersion, appVersionString());
    EXPECT_TRUE(CrashReports::markerNames().isEmpty());
  }
}

TEST(CrashCapture, AnUncaughtExceptionGivesOneCompleteReportAndNoMarker) {
  const struct { const char* name; bool standard; QString reason; } cases[] = {
      {"std::runtime_error", true, "std::runtime_error: boom"},
      {"an int", false, "int: no reason"},
  };
  for (const auto& c : cases) {
    CrashReports::removeAll();
    const QString before = isoTimestamp(QDateTime::currentDateTimeUtc());
    EXPECT_EQ(signalOfCrashedChild([&c] { uncaughtException(c.standard); }), SIGABRT) << c.name;
    const QString after = isoTimestamp(QDateTime::currentDateTimeUtc());
    EXPECT_TRUE(CrashReports::markerNames().isEmpty()) << c.name;

    CrashReporter::shared().processCrashMarkers();
    const QList<CrashReport> reports = CrashReporter::shared().loadAll();
    ASSERT_EQ(reports.size(), 1) << c.name;
    const CrashReport& report = reports[0];
    EXPECT_FALSE(report.systemReportPath.has_value());
    EXPECT_GE(report.timestamp, before);
    EXPECT_LE(report.timestamp, after);
    EXPECT_EQ(report.signal + u' ' + report.reason, QStringLiteral("NSException ") + c.reason);
    // The stack starts at the throw site, 100 calls deep, and is cut at 40.
    ASSERT_EQ(report.callStack.size(), 40) << report.callStack.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(report.callStack[0].contains(QStringLiteral("(throwNow(bool)+0x")))
        << report.callStack.join(QLatin1Char('\n')).toStdString();
    for (qsizetype i = 1; i < report.callStack.size(); ++i) {
      EXPECT_TRUE(report.callStack[i].contains(QStringLiteral("(throwFromDepth(int, bool)+0x"))) << i;
    }
  }
}

}  // namespace
