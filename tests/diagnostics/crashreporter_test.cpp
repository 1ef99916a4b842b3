#include "diagnostics/crashreporter.h"

#include "core/clock.h"
#include "core/userdefaults.h"
#include "crashreports.h"
#include "testenvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

const QDateTime kNow = QDateTime::fromString(QStringLiteral("2026-12-05T17:05:18Z"), Qt::ISODate);

void writeFile(const QString& path, const QByteArray& contents, const QDateTime& date = {}) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(contents);
  file.flush();
  EXPECT_TRUE(!date.isValid() || file.setFileTime(date, QFileDevice::FileModificationTime));
}

QString marker(const QString& name) { return CrashReporter::markersDirectory() + QLatin1Char('/') + name; }

// Processes one marker with these contents and returns the reports made.
QList<CrashReport> reportsFromMarker(const QByteArray& contents) {
  CrashReports::removeAll();
  writeFile(marker(QStringLiteral("1700000000.crashmarker")), contents);
  CrashReporter::shared().processCrashMarkers();
  return CrashReporter::shared().loadAll();
}

class CrashReporterTest : public ::testing::Test {
 protected:
  CrashReporterTest() {
    Clock::setNowForTesting([] { return kNow; });
    CrashReports::removeAll();
  }
  ~CrashReporterTest() override {
    Clock::setNowForTesting({});
    CrashReports::removeAll();
    UserDefaults::shared().remove(QStringLiteral("diagnostic_reports_directory"));
  }
};

TEST_F(CrashReporterTest, MarkersBecomeReportsAndAreDeletedOnceTheReportIsWritten) {
  const char* const cases[][3] = {
      // contents, signal (empty: no report), time
      {"SIGNAL=SIGSEGV\nTIME=1700000000\n", "SIGSEGV", "2023-11-14T22:13:20Z"},
      {"SIGNAL=SIGILL\nTIME=1600000000\nSIGNAL=SIGFPE\nTIME=1700000001\nTIME=x\n", "SIGFPE", "2023-11-14T22:13:21Z"},
      {"SIGNAL=SIGBUS\nTIME=soon\n", "SIGBUS", "2026-12-05T17:05:18Z"},
      {"", "UNKNOWN", "2026-12-05T17:05:18Z"},
      {"SIGNAL=\xff\xfe\n", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    const QList<CrashReport> reports = reportsFromMarker(c[0]);
    EXPECT_TRUE(CrashReports::markerNames().isEmpty());
    ASSERT_EQ(reports.size(), *c[1] ? 1 : 0);
    if (*c[1]) {
      EXPECT_EQ(reports.first().signal + u' ' + reports.first().timestamp, QLatin1String(c[1]) + u' ' + QLatin1String(c[2]));
    }
  }
  // Files that are no markers are left alone.
  CrashReports::removeAll();
  writeFile(marker(QStringLiteral("2.crashmarker.txt")), "SIGNAL=SIGSEGV\n");
  CrashReporter::shared().processCrashMarkers();
  EXPECT_TRUE(CrashReporter::shared().loadAll().isEmpty());
  EXPECT_EQ(CrashReports::markerNames(), (QStringList{"2.crashmarker.txt"}));

  // A file where the report folder should be makes the write fail: the marker stays for the next start.
  CrashReports::removeAll();
  const QString folder = CrashReporter::reportsDirectory();
  ASSERT_TRUE(QDir(folder).removeRecursively());
  writeFile(folder, "not a folder");
  writeFile(marker(QStringLiteral("1700000000.crashmarker")), "SIGNAL=SIGSEGV\nTIME=1700000000\n");
  CrashReporter::shared().processCrashMarkers();
  EXPECT_EQ(CrashReports::markerNames(), QStringList{"1700000000.crashmarker"});
  ASSERT_TRUE(QFile::remove(folder));
  CrashReporter::shared().processCrashMarkers();
  EXPECT_TRUE(CrashReports::markerNames().isEmpty());
  EXPECT_EQ(CrashReporter::shared().loadAll().size(), 1);
}

TEST_F(CrashReporterTest, TheSystemsOwnReportOfTheCrashIsLinked) {
  const QDateTime crash = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
  const QString folder = TestEnvironment::root() + QStringLiteral("/coredump");
  // systemd-coredump's names: the process name (this program's, cut to 15 bytes), uid, boot id, pid,
  // microseconds, compression. Their file times lie an hour off: a core is dated by its name.
  const auto core = [&crash](const char* program, uint uid, int seconds, const char* compression = ".zst") {
    return QStringLiteral("core.%1.%2.0123456789abcdef0123456789abcdef.4242.%3%4")
        .arg(QLatin1String(program))
        .arg(uid)
        .arg((crash.toSecsSinceEpoch() + seconds) * 1'000'000 + 250'000)
        .arg(QLatin1String(compression));
  };
  const uint me = ::getuid();
  const QString ours = core("test_diagnostic", me, 2);
  const struct { const char* name; bool configured; QStringList cores; QList<QPair<QString, int>> files;
                 QString linked; } cases[] = {
      // files: name and seconds of their modification time from the crash
      {"not configured", false, {ours}, {{"voice-input-a.ips", 2}}, {}},
      {"uncompressed, 59 s before", true, {core("test_diagnostic", me, -59, "")}, {},
       core("test_diagnostic", me, -59, "")},
      {"61 s after", true, {core("test_diagnostic", me, 61)}, {}, {}},
      {"other programs and users", true,
       {core("veltrine", me, 2), core("test_diagnostics", me, 2), core("test_diagnostic", me + 1, 2),
        QStringLiteral("core.test_diagnostic.%1.boot.4242.1700000002000000").arg(me)},
       {}, {}},
      {"the closest", true,
       {core("test_diagnostic", me, 40), ours, core("test_diagnostic", me, -30), core("test_diagnostic", me + 1, 0)},
       {}, ours},
      {"reports named voice-input", true, {}, {{"voice-input-b.ips", 61}, {"voice-input-a.ips", -59}},
       "voice-input-a.ips"},
      {"other report names, 61 s before", true, {},
       {{"voice-input-a.crash", 1}, {"other-a.ips", 1}, {"voice-input-a.ips", -61}}, {}},
      {"a report closer than the core", true, {core("test_diagnostic", me, 10)}, {{"voice-input-a.ips", -1}},
       "voice-input-a.ips"},
  };
  for (const auto& c : cases) {
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    for (const QString& name : c.cores) writeFile(folder + QLatin1Char('/') + name, "core", crash.addSecs(3600));
    for (const auto& [name, offset] : c.files) writeFile(folder + QLatin1Char('/') + name, "{}", crash.addSecs(offset));
    const QString key = QStringLiteral("diagnostic_reports_directory");
    c.configured ? UserDefaults::shared().setText(key, folder) : UserDefaults::shared().remove(key);
    const QList<CrashReport> reports = reportsFromMarker("SIGNAL=SIGSEGV\nTIME=1700000000\n");
    ASSERT_EQ(reports.size(), 1) << c.name;
    const auto expected = c.linked.isEmpty() ? std::nullopt : std::optional(folder + QLatin1Char('/') + c.linked);
    EXPECT_EQ(reports.first().systemReportPath, expected) << c.name;
  }
}

TEST_F(CrashReporterTest, SavingAnEleventhReportDeletesTheOldestFileWhateverItsTimestamp) {
  const QDateTime base = kNow.addDays(-1);
  for (int i = 0; i < 10; ++i) {
    // R3 claims the latest crash time but has the oldest file.
    const QString stamp = i == 3 ? QStringLiteral("2030-01-01T00:00:00Z")
                                 : QStringLiteral("2026-01-01T00:00:%1Z").arg(i, 2, 10, QLatin1Char('0'));
    CrashReporter::shared().save(CrashReports::make(QStringLiteral("R%1").arg(i), stamp));
    QFile file(CrashReports::fileOf(QStringLiteral("R%1").arg(i)));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.setFileTime(base.addSecs(i == 3 ? -3600 : i * 60), QFileDevice::FileModificationTime);
  }
  // A hidden file is no report: neither counted nor deleted.
  writeFile(CrashReporter::reportsDirectory() + QStringLiteral("/.R0.json"), "{}", base.addDays(-10));
  CrashReporter::shared().save(CrashReports::make(QStringLiteral("R10"), QStringLiteral("2026-01-01T00:00:10Z")));
  EXPECT_EQ(CrashReports::ids(CrashReporter::shared().loadAll()),
            (QStringList{"R10", "R9", "R8", "R7", "R6", "R5", "R4", "R2", "R1", "R0"}));
  EXPECT_TRUE(QFile::exists(CrashReporter::reportsDirectory() + QStringLiteral("/.R0.json")));
}

TEST_F(CrashReporterTest, PendingReportsAndMarkingThemReported) {
  CrashReporter& reporter = CrashReporter::shared();
  reporter.save(CrashReports::make(QStringLiteral("A"), QStringLiteral("2026-01-01T00:00:01Z")));
  reporter.save(CrashReports::make(QStringLiteral("C"), QStringLiteral("2026-01-01T00:00:03Z")));
  CrashReport withPath = CrashReports::make(QStringLiteral("B"), QStringLiteral("2026-01-01T00:00:02Z"));
  withPath.systemReportPath = QStringLiteral("/reports/voice-input-b.ips");
  withPath.callStack = QStringList{QStringLiteral("f1"), QStringLiteral("f2")};
  reporter.save(withPath);
  // Files that are not reports (damaged, or without the reported flag) stay and are not loaded.
  const QString damaged = CrashReporter::reportsDirectory() + QStringLiteral("/D.json");
  const QString unmarked = CrashReporter::reportsDirectory() + QStringLiteral("/E.json");
  writeFile(damaged, "{\"id\":");
  writeFile(unmarked, CrashReports::make(QStringLiteral("E"), QStringLiteral("2026-01-01T00:00:05Z"))
                          .toJson()
                          .replace(",\"reported\":false", ""));
  EXPECT_EQ(CrashReports::ids(reporter.pendingReports()), (QStringList{"C", "B", "A"}));

  writeFile(CrashReports::fileOf(QStringLiteral("B")), withPath.toJson(), kNow.addDays(-2));
  reporter.markReported(QStringLiteral("B"));
  reporter.markReported(QStringLiteral("../CrashReports/A"));
  EXPECT_EQ(CrashReports::ids(reporter.pendingReports()), (QStringList{"C", "A"}));
  const QList<CrashReport> all = reporter.loadAll();
  ASSERT_EQ(CrashReports::ids(all), (QStringList{"C", "B", "A"}));
  withPath.reported = true;
  EXPECT_EQ(all[1].toJson(), withPath.toJson());
  // Marking keeps the file's date, which stands for its creation.
  EXPECT_EQ(QFileInfo(CrashReports::fileOf(QStringLiteral("B"))).lastModified(), kNow.addDays(-2));
  EXPECT_TRUE(QFile::exists(damaged) && QFile::exists(unmarked));
}

}  // namespace
