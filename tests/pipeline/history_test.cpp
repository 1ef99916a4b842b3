// The history of requests: its file, its audio copies, retention, and what
// a failure on disk leaves behind.
#include "pipelinestate.h"

#include "filemode.h"
#include "filesizelimit.h"
#include "testenvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>

#include <sys/stat.h>

namespace {

const QString kAnn = QStringLiteral("ann@example.com");
const QDateTime kNow = QDateTime::fromString(QStringLiteral("2024-06-15T10:00:00Z"), Qt::ISODate);

QByteArray contentsOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& contents) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(contents);
}

QStringList idsOf(const QList<RecordingHistory>& records) {
  QStringList ids;
  for (const RecordingHistory& record : records) ids << record.id;
  return ids;
}

RecordingHistory makeRecord(const QString& id, const QDateTime& createdAt,
                            RecognitionStatus status = RecognitionStatus::success,
                            std::optional<QString> audioFilePath = std::nullopt) {
  return {id, createdAt, QStringLiteral("transcribe"), std::move(audioFilePath), {}, {}, {}, {}, status, {}, true, {}, {}};
}

class History : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    Clock::setNowForTesting([] { return kNow; });
    AuthStore::shared().setEmail(kAnn);
  }

  static HistoryStore& store() { return HistoryStore::shared(); }
  static QString historyFile(const QString& email = kAnn) {
    return HistoryStore::historyDirectoryURL(email) + QStringLiteral("/recording_history.json");
  }
  static QString audioFolder() { return *store().audioDirectoryURL(); }
  static QStringList audioEntries() {
    return QDir(audioFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  }
  // A finished recording, as the recorder leaves it.
  static QString makeRecording(const QString& name, const QByteArray& contents = "RIFF....WAVE") {
    const QString path = TestEnvironment::root() + QStringLiteral("/run/") + name;
    writeFile(path, contents);
    return path;
  }
  static RecordingHistory withAudio(const QString& id, const QDateTime& createdAt) {
    return makeRecord(id, createdAt, RecognitionStatus::success,
                      store().persistAudio(makeRecording(id + QStringLiteral(".wav"))));
  }
  static void seedFile(const QList<RecordingHistory>& records, const QString& email = kAnn) {
    writeFile(historyFile(email), RecordingHistory::encodeList(records));
  }
  static QList<RecordingHistory> recordsOnDisk(const QString& email = kAnn) {
    return RecordingHistory::decodeList(contentsOf(historyFile(email))).value_or(QList<RecordingHistory>{});
  }
  // Runs `action` and returns what it printed.
  template <typename Action>
  static std::string printed(Action action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
  }
};

TEST(RecordingHistoryFile, EveryFieldRoundTripsAndAbsentOnesAreLeftOut) {
  const auto date = [](const char* iso) { return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs); };
  RecordingHistory full = makeRecord(QStringLiteral("6F1C"), date("2024-03-01T12:00:00.250Z"));
  full.audioFilePath = QStringLiteral("/a/A.wav");
  full.selectedText = QStringLiteral("Grüße \"quoted\" / 你好\n");
  full.transcript = full.actionType = full.errorMessage = QStringLiteral("t");
  full.result = QString();  // present but empty is not absent
  full.processingDuration = 1.875;
  full.processStartedAt = date("2001-01-01T00:00:01.500Z");
  RecordingHistory bare = makeRecord(QStringLiteral("X"), date("2000-12-31T23:59:59.000Z"), RecognitionStatus::pending);
  const QByteArray json = RecordingHistory::encodeList({full, bare});
  EXPECT_FALSE(json.contains('\n') || json.contains(": "));
  const QJsonArray array = QJsonDocument::fromJson(json).array();
  EXPECT_EQ(array[0].toObject().keys().size(), 13);
  EXPECT_DOUBLE_EQ(array[0]["createdAt"].toDouble(), 730987200.25);  // seconds since 2001
  EXPECT_DOUBLE_EQ(array[0]["processStartedAt"].toDouble(), 1.5);
  EXPECT_EQ(array[1].toObject().keys(), (QStringList{"createdAt", "id", "operation", "retryable", "status"}));
  EXPECT_EQ(RecordingHistory::decodeList(json), (QList<RecordingHistory>{full, bare}));
  // Null reads as absent, unknown members are ignored, other writers' dates keep their millisecond.
  const auto decoded = RecordingHistory::decodeList(R"([{"id":"X","createdAt":0.1234567,"operation":"agent",
      "status":"pending","retryable":false,"transcript":null,"somethingNewer":{"a":1}}])");
  ASSERT_TRUE(decoded);
  EXPECT_FALSE(decoded->first().transcript);
  EXPECT_EQ(decoded->first().createdAt, date("2001-01-01T00:00:00.123Z"));
}

TEST(RecordingHistoryFile, OneBadRecordMakesTheWholeFileUndecodable) {
  const QByteArray good = R"({"id":"ok","createdAt":1,"operation":"transcribe","status":"success","retryable":true})";
  const char* bad[] = {
      R"({"createdAt":1,"operation":"transcribe","status":"success","retryable":true})",
      R"({"id":"a","operation":"transcribe","status":"success","retryable":true})",
      R"({"id":"a","createdAt":1,"status":"success","retryable":true})",
      R"({"id":"a","createdAt":1,"operation":"transcribe","retryable":true})",
      R"({"id":"a","createdAt":1,"operation":"transcribe","status":"success"})",
      R"({"id":"a","createdAt":1,"operation":"transcribe","status":"SUCCESS","retryable":true})",
      R"({"id":7,"createdAt":1,"operation":"transcribe","status":"success","retryable":true})",
      R"({"id":"a","createdAt":"1","operation":"transcribe","status":"success","retryable":true})",
      R"({"id":"a","createdAt":1,"operation":"transcribe","status":"success","retryable":1})",
      R"({"id":"a","createdAt":1,"operation":"transcribe","status":"success","retryable":true,"transcript":5})",
      R"({"id":"a","createdAt":1,"operation":"transcribe","status":"success","retryable":true,"processingDuration":"2"})",
      R"({"id":"a","createdAt":1,"operation":"transcribe","status":"success","retryable":true,"processStartedAt":"2"})",
      R"({"id":"a","createdAt":1e300,"operation":"transcribe","status":"success","retryable":true})",
      R"("a")",
  };
  for (const char* record : bad) EXPECT_FALSE(RecordingHistory::decodeList("[" + good + "," + record + "]")) << record;
  EXPECT_TRUE(RecordingHistory::decodeList("[" + good + "]"));
  for (const char* file : {"", "{}", "null"}) EXPECT_FALSE(RecordingHistory::decodeList(file)) << file;
}

TEST_F(History, EachAccountKeepsItsOwnFileAndUpdatesAreSavedInOrder) {
  EXPECT_EQ(HistoryStore::userStorageKey(kAnn), QStringLiteral("71d4f55f72fa128d"));
  EXPECT_EQ(HistoryStore::historyDirectoryURL(kAnn),
            TestEnvironment::root() + QStringLiteral("/home/Documents/VoiceInputHistory/71d4f55f72fa128d"));
  store().load();
  QSignalSpy changes(&store(), &HistoryStore::recordsChanged);
  store().addRecord(makeRecord(QStringLiteral("older"), kNow.addSecs(-5), RecognitionStatus::failed));
  store().addRecord(makeRecord(QStringLiteral("newer"), kNow));
  store().markProcessing(QStringLiteral("older"));
  EXPECT_TRUE(store().updateRecord(QStringLiteral("newer"), [](RecordingHistory& r) { r.result = QStringLiteral("done"); }));
  EXPECT_EQ(changes.count(), 4);
  EXPECT_EQ(recordsOnDisk(), store().records());
  EXPECT_EQ(idsOf(recordsOnDisk()), (QStringList{"newer", "older"}));
  EXPECT_EQ(recordsOnDisk()[1].status, RecognitionStatus::processing);
  EXPECT_EQ(recordsOnDisk()[1].processStartedAt, kNow);
  EXPECT_EQ(recordsOnDisk()[0].result, QStringLiteral("done"));

  // An unknown id touches nothing.
  const QByteArray before = contentsOf(historyFile());
  EXPECT_FALSE(store().updateRecord(QStringLiteral("zzz"), [](RecordingHistory& r) { r.id.clear(); }));
  store().deleteAudio(QStringLiteral("zzz"));
  store().deleteRecord(QStringLiteral("zzz"), true);
  EXPECT_EQ(changes.count(), 4);
  EXPECT_EQ(contentsOf(historyFile()), before);

  // Two spellings of an address are two accounts; a load reads back only its own.
  AuthStore::shared().setEmail(QStringLiteral("Ann@example.com"));
  store().load();
  EXPECT_TRUE(store().records().isEmpty());
  store().addRecord(makeRecord(QStringLiteral("other"), kNow));
  AuthStore::shared().setEmail(kAnn);
  store().load();
  EXPECT_EQ(idsOf(store().records()), (QStringList{"newer", "older"}));
  EXPECT_EQ(store().records()[1].status, RecognitionStatus::failed) << "interrupted by the quit";
  EXPECT_EQ(idsOf(recordsOnDisk(QStringLiteral("Ann@example.com"))), QStringList{"other"});

  // Without an account nothing is read, copied or written.
  AuthStore::shared().setEmail(std::nullopt);
  store().load();
  EXPECT_TRUE(store().records().isEmpty());
  store().addRecord(makeRecord(QStringLiteral("memory only"), kNow));
  EXPECT_FALSE(store().persistAudio(makeRecording(QStringLiteral("R.wav"))));
  EXPECT_EQ(idsOf(recordsOnDisk()), (QStringList{"newer", "older"}));
}

TEST_F(History, LoadFailsInterruptedRequestsAndRewritesTheFileOnlyThen) {
  auto processing = makeRecord(QStringLiteral("q"), kNow, RecognitionStatus::processing);
  processing.errorMessage = QStringLiteral("stale");
  auto failed = makeRecord(QStringLiteral("f"), kNow, RecognitionStatus::failed);
  failed.errorMessage = QStringLiteral("network");
  seedFile({makeRecord(QStringLiteral("p"), kNow, RecognitionStatus::pending), processing, failed});
  QSignalSpy changes(&store(), &HistoryStore::recordsChanged);
  store().load();
  EXPECT_EQ(changes.count(), 1);
  for (const RecordingHistory& record : recordsOnDisk()) EXPECT_EQ(record.status, RecognitionStatus::failed);
  EXPECT_FALSE(recordsOnDisk()[1].errorMessage);
  EXPECT_EQ(recordsOnDisk()[2].errorMessage, QStringLiteral("network"));

  const QByteArray handWritten = "[\n  " + RecordingHistory::encodeList({failed}).mid(1);
  writeFile(historyFile(), handWritten);
  store().load();
  EXPECT_EQ(contentsOf(historyFile()), handWritten);
}

TEST_F(History, RetentionRemovesWhatIsOlderThanItsPeriodWithItsAudio) {
  const struct {
    RetentionPolicy policy;
    qint64 seconds;
  } policies[] = {{RetentionPolicy::thirtyDays, 2'592'000}, {RetentionPolicy::sevenDays, 604'800},
                  {RetentionPolicy::oneDay, 86'400}};
  for (const auto& c : policies) {
    SCOPED_TRACE(rawValue(c.policy).toStdString());
    store().setRetentionPolicy(RetentionPolicy::forever);
    store().load();
    const QDateTime cutoff = kNow.addSecs(-c.seconds);
    const RecordingHistory atCutoff = withAudio(QStringLiteral("at-cutoff"), cutoff);
    const RecordingHistory justBefore = withAudio(QStringLiteral("just-before"), cutoff.addMSecs(-1));
    seedFile({makeRecord(QStringLiteral("future"), kNow.addSecs(3600)), atCutoff, justBefore});
    store().load();
    ASSERT_EQ(store().records().size(), 3);

    store().setRetentionPolicy(c.policy);
    EXPECT_EQ(UserDefaults::shared().text(QStringLiteral("historyRetentionPolicy")), rawValue(c.policy));
    EXPECT_EQ(idsOf(recordsOnDisk()), (QStringList{"future", "at-cutoff"}));
    EXPECT_TRUE(QFile::exists(*atCutoff.audioFilePath));
    EXPECT_FALSE(QFile::exists(*justBefore.audioFilePath));

    // Records that age while the program runs go at the next load.
    Clock::setNowForTesting([] { return kNow.addSecs(7200); });
    store().load();
    EXPECT_EQ(idsOf(store().records()), QStringList{"future"});
    Clock::setNowForTesting([] { return kNow; });
  }
  // Forever removes nothing.
  seedFile({makeRecord(QStringLiteral("ancient"), kNow.addYears(-9))});
  store().setRetentionPolicy(RetentionPolicy::forever);
  store().load();
  EXPECT_EQ(store().records().size(), 1);
}

TEST_F(History, NeverKeepsNothingAndLeavesNoAudioBehind) {
  store().load();
  store().addRecord(withAudio(QStringLiteral("A"), kNow));
  store().setRetentionPolicy(RetentionPolicy::never);
  EXPECT_TRUE(store().records().isEmpty());
  EXPECT_EQ(contentsOf(historyFile()), QByteArray("[]"));
  EXPECT_TRUE(audioEntries().isEmpty());

  const QString recording = makeRecording(QStringLiteral("C.wav"));
  EXPECT_FALSE(store().persistAudio(recording));
  EXPECT_TRUE(QFile::exists(recording)) << "the caller's to remove";
  store().addRecord(makeRecord(QStringLiteral("C"), kNow));
  EXPECT_TRUE(store().records().isEmpty());
  EXPECT_TRUE(audioEntries().isEmpty());
}

TEST_F(History, AnUndecodableFileIsKeptAsideAndTheStoreWorksOn) {
  const QByteArray lacksRetryable =
      R"([{"id":"b","createdAt":2,"operation":"transcribe","status":"success"}])";
  for (const QByteArray& damaged : {lacksRetryable, QByteArray("[{\"id\":"), QByteArray()}) {
    SCOPED_TRACE(damaged.constData());
    const QDir folder(HistoryStore::historyDirectoryURL(kAnn));
    for (const QString& name : folder.entryList({QStringLiteral("*.corrupt-*")})) QFile::remove(folder.filePath(name));
    writeFile(historyFile(), damaged);
    ::chmod(QFile::encodeName(historyFile()).constData(), 0644);
    EXPECT_EQ(printed([] { store().load(); }).rfind("[HistoryStore] ", 0), 0u);
    EXPECT_TRUE(store().records().isEmpty());
    const QStringList aside = folder.entryList({QStringLiteral("recording_history.json.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(fileMode(folder.filePath(aside.first())), 0600);
    store().addRecord(makeRecord(QStringLiteral("fresh"), kNow));
    EXPECT_EQ(idsOf(recordsOnDisk()), QStringList{"fresh"});
    EXPECT_EQ(contentsOf(folder.filePath(aside.first())), damaged);
  }
}

TEST_F(History, OnlyTheAccountsOwnAudioCopiesAreEverDeleted) {
  store().load();
  const QString precious = TestEnvironment::root() + QStringLiteral("/home/precious.txt");
  writeFile(precious, "keep me");
  QFile::link(precious, audioFolder() + QStringLiteral("/link.wav"));
  const QString bobs = HistoryStore::historyDirectoryURL(QStringLiteral("bob@example.com")) + "/AudioFiles/B.wav";
  writeFile(bobs, "bob's");
  const QString paths[] = {precious, audioFolder() + "/../../../../precious.txt", QStringLiteral("precious.txt"),
                           bobs, audioFolder(), audioFolder() + QStringLiteral("/link.wav")};
  const std::function<void(const QString&)> removals[] = {
      [](const QString& id) { store().deleteRecord(id, true); },
      [](const QString& id) { store().deleteAudio(id); },
      [](const QString&) { store().setRetentionPolicy(RetentionPolicy::never); },
  };
  for (const auto& remove : removals) {
    store().setRetentionPolicy(RetentionPolicy::forever);
    for (const QString& path : paths) {
      store().addRecord(makeRecord(path, kNow, RecognitionStatus::success, path));
      remove(path);
      EXPECT_EQ(contentsOf(precious), QByteArray("keep me")) << path.toStdString();
      EXPECT_EQ(contentsOf(bobs), QByteArray("bob's")) << path.toStdString();
      EXPECT_TRUE(QFileInfo(audioFolder()).isDir());
    }
  }
  EXPECT_FALSE(QFileInfo(audioFolder() + QStringLiteral("/link.wav")).isSymLink()) << "the link was ours";
}

TEST_F(History, AnAudioCopyIsWholeOrAbsent) {
  store().load();
  const QString recording = makeRecording(QStringLiteral("5D0E.wav"), "first");
  const auto copy = store().persistAudio(recording);
  ASSERT_TRUE(copy);
  EXPECT_EQ(*copy, audioFolder() + QStringLiteral("/5D0E.wav"));
  writeFile(recording, "second");
  EXPECT_EQ(store().persistAudio(recording), copy);
  EXPECT_EQ(contentsOf(*copy), QByteArray("second")) << "a copy of that name is replaced";
  EXPECT_EQ(store().persistAudio(*copy), copy);
  EXPECT_EQ(contentsOf(*copy), QByteArray("second")) << "copied onto itself";

  // Copies that fail part-way: nothing half-written stays, the earlier copy
  // of that name is left whole, and a record made from the answer names no file.
  const QByteArray large(256 * 1024, 'a');
  struct Row {
    const char* name;
    std::function<QString()> arrange;  // the recording to copy
    long long sizeLimit;               // 0: none
  };
  const Row rows[] = {
      {"the disk fills up", [&] { return makeRecording(QStringLiteral("5D0E.wav"), large); }, 64 * 1024},
      {"the recording vanished", [&] { QFile::remove(recording); return recording; }, 0},
      {"a folder stands where the copy goes",
       [&] {
         writeFile(audioFolder() + QStringLiteral("/F00D.wav/inside"), "x");
         return makeRecording(QStringLiteral("F00D.wav"), large);
       },
       0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const QString source = row.arrange();
    std::optional<QString> failed;
    std::string output;
    {
      std::optional<FileSizeLimit> limit;
      if (row.sizeLimit) {
        ASSERT_TRUE(limit.emplace(row.sizeLimit).active());
      }
      output = printed([&] { failed = store().persistAudio(source); });
    }
    EXPECT_FALSE(failed);
    EXPECT_EQ(output.rfind("[HistoryStore] Failed to persist audio: ", 0), 0u) << output;
    EXPECT_EQ(contentsOf(*copy), QByteArray("second"));
    EXPECT_EQ(QDir(audioFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{"5D0E.wav"});
    store().addRecord(makeRecord(QStringLiteral("R"), kNow, RecognitionStatus::failed, failed));
    EXPECT_FALSE(recordsOnDisk().first().audioFilePath);
  }
}

TEST_F(History, FilesAreTheUsersAloneAndAFailedSaveKeepsTheLastWholeFile) {
  ::umask(022);
  seedFile({makeRecord(QStringLiteral("old"), kNow)});  // as an older release left it
  ASSERT_EQ(fileMode(historyFile()), 0644);
  store().load();
  store().addRecord(makeRecord(QStringLiteral("new"), kNow, RecognitionStatus::success,
                               store().persistAudio(makeRecording(QStringLiteral("A1.wav")))));
  EXPECT_EQ(fileMode(historyFile()), 0600);
  EXPECT_EQ(fileMode(audioFolder() + QStringLiteral("/A1.wav")), 0600);
  QFile::remove(historyFile());
  store().save();
  EXPECT_EQ(fileMode(historyFile()), 0600);

  // The file system stops the write half-way, as a full disk would.
  const QByteArray before = contentsOf(historyFile());
  RecordingHistory large = makeRecord(QStringLiteral("large"), kNow);
  large.transcript = QString(16 * 1024, QLatin1Char('x'));
  std::string output;
  {
    const FileSizeLimit limit(before.size() + 2048);
    ASSERT_TRUE(limit.active());
    output = printed([&] { store().addRecord(large); });
  }
  EXPECT_EQ(output.rfind("[HistoryStore] Save failed: ", 0), 0u) << output;
  EXPECT_EQ(contentsOf(historyFile()), before);
  EXPECT_EQ(QDir(HistoryStore::historyDirectoryURL(kAnn)).entryList(QDir::Files | QDir::Hidden),
            QStringList{"recording_history.json"});
  EXPECT_EQ(store().records().size(), 3) << "kept in memory";
  store().save();
  EXPECT_EQ(recordsOnDisk().size(), 3) << "written once there is room";
}

TEST_F(History, OneAccountsRecordsNeverOverwriteAnothersFile) {
  const QString bob = QStringLiteral("bob@example.com");
  seedFile({makeRecord(QStringLiteral("ann"), kNow)});
  seedFile({makeRecord(QStringLiteral("bob"), kNow)}, bob);
  store().load();
  AuthStore::shared().setEmail(bob);  // signed in as someone else without a load
  EXPECT_EQ(printed([] { store().addRecord(makeRecord(QStringLiteral("ann-2"), kNow)); })
                .rfind("[HistoryStore] Save failed: ", 0),
            0u);
  EXPECT_EQ(idsOf(recordsOnDisk(bob)), QStringList{"bob"});

  // Sign-out empties the memory only; a later save must not write that over the file.
  AuthStore::shared().setEmail(kAnn);
  store().load();
  store().clearRecords();
  printed([] { store().save(); });
  EXPECT_EQ(idsOf(recordsOnDisk()), QStringList{"ann"});
}

}  // namespace
