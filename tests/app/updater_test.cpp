#include "app/appcast.h"
#include "app/appcastupdater.h"
#include "app/updaterdelegate.h"
#include "app/updateuserdriver.h"

#include "awaittask.h"
#include "fakeservice.h"
#include "filesizelimit.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <optional>


namespace {

// What the updater reported, one line per callback.
class RecordingDelegate : public UpdaterDelegate {
 public:
  void updaterDidNotFindUpdate(Updater&) override { events << QStringLiteral("not found"); }
  void updaterWillDownloadUpdate(Updater&, const AppcastItem& item, const QNetworkRequest& request) override {
    events << QStringLiteral("will download %1 from %2").arg(item.version, request.url().path());
  }
  void updaterDidDownloadUpdate(Updater&, const AppcastItem& item) override {
    events << QStringLiteral("downloaded %1").arg(item.version);
  }
  void updaterDidAbortWithError(Updater&, const QString&) override { events << QStringLiteral("aborted"); }
  void updaterFailedToDownloadUpdate(Updater&, const AppcastItem& item, const QString&) override {
    events << QStringLiteral("download failed %1").arg(item.version);
  }

  QStringList events;
};

class RecordingDriver : public UpdateUserDriver {
 public:
  void showDownloadedUpdate(const AppcastItem&, const QString& path) override { shown << path; }
  QStringList shown;
};

QByteArray feed(const QByteArray& items) {
  return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Veltrine</title>)" +
         items + "</channel></rss>";
}

QByteArray item(const QByteArray& version, const QByteArray& url) {
  return "<item><title>Veltrine " + version + "</title><sparkle:version>" + version + "</sparkle:version>" +
         R"(<enclosure url=")" + url + R"(" length="7" type="application/octet-stream"/></item>)";
}

class AppcastUpdaterTest : public ::testing::Test {
 protected:
  // Runs one check against the fake service's feed (or none) and waits for
  // the updater to come to its end.
  QStringList check(std::optional<QByteArray> feedPath = QByteArray("/appcast.xml")) {
    AppcastUpdater::Settings settings;
    if (feedPath) settings.feedURL = QUrl(service.origin().toString() + QString::fromLatin1(*feedPath));
    settings.currentVersion = QStringLiteral("0.2.0");
    settings.downloadFolder = downloads();
    settings.maxDownloadBytes = maxDownloadBytes;
    AppcastUpdater updater(delegate, driver, settings);
    updater.checkForUpdates();
    updater.checkForUpdates();  // ignored while the first runs
    waitUntil([&] {
      const QString last = delegate.events.value(delegate.events.size() - 1);
      return !last.isEmpty() && !last.startsWith(QLatin1String("will download"));
    });
    return delegate.events;
  }

  QByteArray url(const QByteArray& path) const { return service.origin().toString().toUtf8() + path; }
  static QString downloads() { return TestEnvironment::root() + QStringLiteral("/Downloads"); }
  static QStringList downloaded() { return QDir(downloads()).entryList(QDir::Files | QDir::Hidden); }

  FakeService service;
  RecordingDelegate delegate;
  RecordingDriver driver;
  qint64 maxDownloadBytes = AppcastUpdater::kMaxDownloadBytes;
};

TEST_F(AppcastUpdaterTest, WithoutAFeedNothingIsFound) {
  EXPECT_EQ(check(std::nullopt), QStringList{QStringLiteral("not found")});
  EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(AppcastUpdaterTest, OnlyOlderOrEqualReleasesFindNothing) {
  service.route("GET", "/appcast.xml",
                ScriptedResponse::text(200, feed(item("0.1.9", url("/a.deb")) + item("0.2.0", url("/b.deb"))),
                                       "application/rss+xml"));
  EXPECT_EQ(check(), QStringList{QStringLiteral("not found")});
  EXPECT_EQ(service.requestCount(), 1);
}

TEST_F(AppcastUpdaterTest, TheNewestReleaseIsDownloadedIntoTheFolderAndShown) {
  service.route("GET", "/appcast.xml",
                ScriptedResponse::text(200, feed(item("0.10.0", url("/veltrine-0.10.0.deb")) +
                                                 item("0.3.0", url("/veltrine-0.3.0.deb"))),
                                       "application/rss+xml"));
  // Release files may live with a download service elsewhere.
  FakeService mirror;
  ScriptedResponse moved = ScriptedResponse::text(302, "");
  moved.headers.append({"Location", mirror.origin().toString().toUtf8() + "/files/veltrine-0.10.0.deb"});
  service.route("GET", "/veltrine-0.10.0.deb", moved);
  mirror.route("GET", "/files/veltrine-0.10.0.deb", ScriptedResponse::text(200, "package", "application/octet-stream"));

  EXPECT_EQ(check(), (QStringList{QStringLiteral("will download 0.10.0 from /veltrine-0.10.0.deb"),
                                  QStringLiteral("downloaded 0.10.0")}));
  const QString path = downloads() + QStringLiteral("/veltrine-0.10.0.deb");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "package");
  EXPECT_EQ(driver.shown, QStringList{path});
}

TEST_F(AppcastUpdaterTest, ADownloadTheDiskCutsShortFailsAndLeavesNoFile) {
  service.route("GET", "/appcast.xml",
                ScriptedResponse::text(200, feed(item("1.0.0", url("/v.deb"))), "application/rss+xml"));
  service.route("GET", "/v.deb", ScriptedResponse::text(200, QByteArray(512 * 1024, 'p'), "application/octet-stream"));

  // No file may grow past 64 KiB, as if the disk filled up on the way.
  QStringList events;
  {
    const FileSizeLimit limit(64 * 1024);
    ASSERT_TRUE(limit.active());
    events = check();
  }

  EXPECT_EQ(events, (QStringList{QStringLiteral("will download 1.0.0 from /v.deb"),
                                 QStringLiteral("download failed 1.0.0")}));
  EXPECT_TRUE(downloaded().isEmpty()) << downloaded().join(QLatin1Char(' ')).toStdString();
  EXPECT_TRUE(driver.shown.isEmpty());
}

TEST_F(AppcastUpdaterTest, AFileLongerThanTheLimitIsNotDownloadedOn) {
  service.route("GET", "/appcast.xml",
                ScriptedResponse::text(200, feed(item("1.0.0", url("/v.deb"))), "application/rss+xml"));
  ScriptedResponse endless = ScriptedResponse::text(200, "", "application/octet-stream");
  endless.streamedBody = 64 * 1024 * 1024;
  service.route("GET", "/v.deb", endless);
  maxDownloadBytes = 64 * 1024;

  EXPECT_EQ(check(), (QStringList{QStringLiteral("will download 1.0.0 from /v.deb"),
                                  QStringLiteral("download failed 1.0.0")}));
  EXPECT_TRUE(downloaded().isEmpty()) << downloaded().join(QLatin1Char(' ')).toStdString();
  ASSERT_TRUE(waitUntil([&] { return service.streamedBytes().has_value(); }));
  EXPECT_LT(*service.streamedBytes(), endless.streamedBody / 2);
}

struct FailureCase {
  const char* name;
  ScriptedResponse feedAnswer;
  bool feedListsAnUnsafeFile;
  ScriptedResponse fileAnswer;
  QStringList events;
};

void PrintTo(const FailureCase& row, std::ostream* out) { *out << row.name; }

class AppcastUpdaterFailure : public AppcastUpdaterTest, public ::testing::WithParamInterface<FailureCase> {};

// Every failure ends the check with one report and leaves no file behind.
TEST_P(AppcastUpdaterFailure, EndsTheCheckAndLeavesNoFile) {
  const FailureCase& row = GetParam();
  ScriptedResponse feedAnswer = row.feedAnswer;
  if (feedAnswer.body == "FEED") {
    feedAnswer.body = feed(item("1.0.0", row.feedListsAnUnsafeFile ? "http://updates.example.com/v.deb"
                                                                    : url("/v.deb")));
  }
  service.route("GET", "/appcast.xml", feedAnswer);
  service.route("GET", "/v.deb", row.fileAnswer);
  EXPECT_EQ(check(), row.events);
  EXPECT_TRUE(downloaded().isEmpty()) << downloaded().join(QLatin1Char(' ')).toStdString();
  EXPECT_TRUE(driver.shown.isEmpty());
}

const ScriptedResponse kFile = ScriptedResponse::text(200, "package");

INSTANTIATE_TEST_SUITE_P(
    AppcastUpdater, AppcastUpdaterFailure,
    ::testing::Values(
        FailureCase{"FeedUnavailable", ScriptedResponse::text(500, "down"), false, kFile, {"aborted"}},
        FailureCase{"FeedIsNotAnAppcast", ScriptedResponse::text(200, "<html></html>"), false, kFile, {"aborted"}},
        FailureCase{"FileOverPlainHttpElsewhere", ScriptedResponse::text(200, "FEED"), true, kFile, {"aborted"}},
        FailureCase{"FileMissing", ScriptedResponse::text(200, "FEED"), false, ScriptedResponse::text(404, "no"),
                    {"will download 1.0.0 from /v.deb", "download failed 1.0.0"}}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(Appcast, VersionsCompareByTheirNumbers) {
  const struct {
    const char* left;
    const char* right;
    int order;
  } cases[] = {
      {"1.10", "1.9", 1}, {"1.2", "1.2.0", 0}, {"0.1.0", "0.1.1", -1},
      {"2", "10", -1},    {"1.0b1", "1.0.1", 1}, {"1.0", "1.0", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Appcast::compareVersions(QString::fromLatin1(c.left), QString::fromLatin1(c.right)), c.order)
        << c.left << " vs " << c.right;
  }
}

TEST(Appcast, VersionsComeFromTheItemOrItsEnclosureAndTheShortVersionWins) {
  const QByteArray xml = feed(
      R"(<item><title>A</title><enclosure url="https://u.example/a.deb" sparkle:version="41" sparkle:shortVersionString="1.4"/></item>)"
      R"(<item><title>B</title><sparkle:version>42</sparkle:version><link>https://u.example/notes</link>)"
      R"(<enclosure url="https://u.example/b.deb" length="12"/></item>)"
      R"(<item><title>No file</title><sparkle:version>43</sparkle:version></item>)"
      R"(<item><title>No version</title><enclosure url="https://u.example/c.deb"/></item>)");
  const std::optional<QList<AppcastItem>> items = Appcast::parse(xml);
  ASSERT_TRUE(items);
  ASSERT_EQ(items->size(), 2);
  EXPECT_EQ(items->at(0).version, QStringLiteral("1.4"));
  EXPECT_EQ(items->at(0).fileURL, QUrl(QStringLiteral("https://u.example/a.deb")));
  EXPECT_EQ(items->at(1).version, QStringLiteral("42"));
  EXPECT_EQ(items->at(1).contentLength, 12);
  EXPECT_EQ(items->at(1).releaseNotesURL, QUrl(QStringLiteral("https://u.example/notes")));
  EXPECT_FALSE(Appcast::parse("not xml"));
}

}  // namespace
