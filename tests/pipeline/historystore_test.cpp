#include "pipeline/historystore.h"

#include "core/clock.h"
#include "core/userdefaults.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "filemode.h"
#include "filesizelimit.h"
#include "service/authstore.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

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
  RecordingHistory record;
  record.id = id;
  record.createdAt = createdAt;
  record.operation = QStringLiteral("transcribe");
  record.status = status;
  record.retryable = true;
  record.audioFilePath = std::move(audioFilePath);
  return record;
}

class HistoryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Clock::setNowForTesting([] { return kNow; });
    AuthStore::shared().setEmail(kAnn);
  }
  void TearDown() override { Clock::setNowForTesting({}); }

  static HistoryStore& store() { return HistoryStore::shared(); }
  static QString historyFile(const QString& email = kAnn) {
    return HistoryStore::historyDirectoryURL(email) + QStringLiteral("/recording_history.json");
  }
  static QString audioFolder() { return *store().audioDirectoryURL(); }

  // A finished recording in the temporary folder, as the recorder leaves it.
  static QString makeRecording(const QString& name, const QByteArray& contents = "RIFF....WAVE") {
    const QString path = TestEnvironment::root() + QStringLiteral("/run/") + name;
    writeFile(path, contents);
    return path;
  }
  // A record whose audio copy exists in the account's folder.
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
};

TEST_F(HistoryStoreTest, EachAccountHasItsOwnFolderKeyedByTheEmailAsStored) {
  EXPECT_EQ(HistoryStore::userStorageKey(kAnn), QStringLiteral("71d4f55f72fa128d"));
  EXPECT_EQ(HistoryStore::userStorageKey(QStringLiteral("Ann@example.com")), QStringLiteral("e3535a54578d4c12"));
  EXPECT_EQ(HistoryStore::historyDirectoryURL(kAnn),
            TestEnvironment::root() + QStringLiteral("/home/Documents/VoiceInputHistory/71d4f55f72fa128d"));
  EXPECT_EQ(audioFolder(), HistoryStore::historyDirectoryURL(kAnn) + QStringLiteral("/AudioFiles"));
  EXPECT_TRUE(QFileInfo(audioFolder()).isDir());

  store().load();
  store().addRecord(makeRecord(QStringLiteral("ann-1"), kNow));
  AuthStore::shared().setEmail(QStringLiteral("Ann@example.com"));
  store().load();
  EXPECT_TRUE(store().records().isEmpty());
  store().addRecord(makeRecord(QStringLiteral("other-1"), kNow));

  AuthStore::shared().setEmail(kAnn);
  store().load();
  EXPECT_EQ(idsOf(store().records()), QStringList{QStringLiteral("ann-1")});
  EXPECT_EQ(idsOf(recordsOnDisk(QStringLiteral("Ann@example.com"))), QStringList{QStringLiteral("other-1")});
}

TEST_F(HistoryStoreTest, WithoutAnAccountNothingIsReadCopiedOrWritten) {
  seedFile({makeRecord(QStringLiteral("a"), kNow)});
  AuthStore::shared().setEmail(std::nullopt);
  store().load();
  EXPECT_TRUE(store().records().isEmpty());
  store().addRecord(makeRecord(QStringLiteral("b"), kNow));
  EXPECT_EQ(idsOf(store().records()), QStringList{QStringLiteral("b")});
  EXPECT_FALSE(store().audioDirectoryURL());
  EXPECT_FALSE(store().persistAudio(makeRecording(QStringLiteral("R.wav"))));
  EXPECT_EQ(idsOf(recordsOnDisk()), QStringList{QStringLiteral("a")});
}

TEST_F(HistoryStoreTest, NewRecordsGoInFrontAndTheFileKeepsTheOrder) {
  store().load();
  QSignalSpy changes(&store(), &HistoryStore::recordsChanged);
  store().addRecord(makeRecord(QStringLiteral("older"), kNow.addSecs(-5)));
  store().addRecord(makeRecord(QStringLiteral("newer"), kNow));
  EXPECT_EQ(changes.count(), 2);
  const QStringList expected{QStringLiteral("newer"), QStringLiteral("older")};
  EXPECT_EQ(idsOf(store().records()), expected);
  EXPECT_EQ(idsOf(recordsOnDisk()), expected);

  store().load();
  EXPECT_EQ(store().records(), recordsOnDisk());
  EXPECT_EQ(idsOf(store().records()), expected);
}

TEST_F(HistoryStoreTest, UpdatesAreSavedAndAnnouncedAndAnUnknownIdTouchesNothing) {
  store().load();
  store().addRecord(makeRecord(QStringLiteral("a"), kNow.addSecs(-60), RecognitionStatus::failed));
  QSignalSpy changes(&store(), &HistoryStore::recordsChanged);

  store().markProcessing(QStringLiteral("a"));
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(recordsOnDisk().first().status, RecognitionStatus::processing);
  EXPECT_EQ(recordsOnDisk().first().processStartedAt, kNow);

  EXPECT_TRUE(store().updateRecord(QStringLiteral("a"), [](RecordingHistory& record) {
    record.status = RecognitionStatus::success;
    record.result = QStringLiteral("done");
  }));
  EXPECT_EQ(changes.count(), 2);
  EXPECT_EQ(recordsOnDisk().first().result, QStringLiteral("done"));
  EXPECT_EQ(store().record(QStringLiteral("a"))->status, RecognitionStatus::success);

  const QByteArray before = contentsOf(historyFile());
  EXPECT_FALSE(store().updateRecord(QStringLiteral("zzz"), [](RecordingHistory& record) { record.id.clear(); }));
  store().markProcessing(QStringLiteral("zzz"));
  store().deleteAudio(QStringLiteral("zzz"));
  store().deleteRecord(QStringLiteral("zzz"), true);
  EXPECT_EQ(changes.count(), 2);
  EXPECT_EQ(contentsOf(historyFile()), before);
  EXPECT_FALSE(store().record(QStringLiteral("zzz")));
}

TEST_F(HistoryStoreTest, LoadTurnsInterruptedRequestsIntoFailuresAndSavesOnlyThen) {
  auto pending = makeRecord(QStringLiteral("p"), kNow, RecognitionStatus::pending);
  auto processing = makeRecord(QStringLiteral("q"), kNow, RecognitionStatus::processing);
  processing.errorMessage = QStringLiteral("stale");
  processing.transcript = QStringLiteral("kept");
  auto failed = makeRecord(QStringLiteral("f"), kNow, RecognitionStatus::failed);
  failed.errorMessage = QStringLiteral("network");
  seedFile({pending, processing, failed, makeRecord(QStringLiteral("s"), kNow)});

  QSignalSpy changes(&store(), &HistoryStore::recordsChanged);
  store().load();
  EXPECT_EQ(changes.count(), 1);
  auto expectedProcessing = processing;
  expectedProcessing.status = RecognitionStatus::failed;
  expectedProcessing.errorMessage.reset();
  auto expectedPending = pending;
  expectedPending.status = RecognitionStatus::failed;
  const QList<RecordingHistory> expected{expectedPending, expectedProcessing, failed,
                                         makeRecord(QStringLiteral("s"), kNow)};
  EXPECT_EQ(store().records(), expected);
  EXPECT_EQ(recordsOnDisk(), expected);

  // Nothing to recover, nothing to clean: the file is left byte for byte.
  const QByteArray handWritten = "[\n  " + RecordingHistory::encodeList({failed}).mid(1);
  writeFile(historyFile(), handWritten);
  store().load();
  EXPECT_EQ(contentsOf(historyFile()), handWritten);
}

TEST_F(HistoryStoreTest, RetentionKeepsWhatIsWithinThePeriodAndRemovesTheRestWithTheirAudio) {
  using P = RetentionPolicy;
  const struct {
    P policy;
    qint64 periodSeconds;
  } policies[] = {{P::thirtyDays, 2'592'000}, {P::sevenDays, 604'800}, {P::oneDay, 86'400}};
  for (const auto& c : policies) {
    SCOPED_TRACE(rawValue(c.policy).toStdString());
    store().setRetentionPolicy(P::forever);
    store().load();
    const QDateTime cutoff = kNow.addSecs(-c.periodSeconds);
    const RecordingHistory future = withAudio(QStringLiteral("future"), kNow.addSecs(3600));
    const RecordingHistory atCutoff = withAudio(QStringLiteral("at-cutoff"), cutoff);
    const RecordingHistory justBefore = withAudio(QStringLiteral("just-before"), cutoff.addMSecs(-1));
    const RecordingHistory ancient = makeRecord(QStringLiteral("ancient"), cutoff.addYears(-3));
    seedFile({future, atCutoff, justBefore, ancient});
    store().load();
    ASSERT_EQ(store().records().size(), 4);

    store().setRetentionPolicy(c.policy);
    EXPECT_EQ(UserDefaults::shared().text(QStringLiteral("historyRetentionPolicy")), rawValue(c.policy));
    const QStringList kept{QStringLiteral("future"), QStringLiteral("at-cutoff")};
    EXPECT_EQ(idsOf(store().records()), kept);
    EXPECT_EQ(idsOf(recordsOnDisk()), kept);
    EXPECT_TRUE(QFile::exists(*atCutoff.audioFilePath));
    EXPECT_FALSE(QFile::exists(*justBefore.audioFilePath));

    // Records that age past the cut-off while the program runs stay until the
    // next load, which removes them.
    Clock::setNowForTesting([] { return kNow.addSecs(7200); });
    EXPECT_EQ(store().records().size(), 2);
    store().load();
    EXPECT_EQ(idsOf(store().records()), QStringList{QStringLiteral("future")});
    EXPECT_FALSE(QFile::exists(*atCutoff.audioFilePath));
    Clock::setNowForTesting([] { return kNow; });
  }
}

TEST_F(HistoryStoreTest, ForeverRemovesNothingAndReassigningAPolicyStillStoresAndApplies) {
  UserDefaults::shared().setText(QStringLiteral("historyRetentionPolicy"), QStringLiteral("1day"));
  EXPECT_EQ(store().retentionPolicy(), RetentionPolicy::oneDay);
  seedFile({makeRecord(QStringLiteral("new"), kNow), makeRecord(QStringLiteral("old"), kNow.addDays(-3))});
  UserDefaults::shared().remove(QStringLiteral("historyRetentionPolicy"));
  store().setRetentionPolicy(RetentionPolicy::forever);
  store().load();
  EXPECT_EQ(store().records().size(), 2);

  QSignalSpy stored(&UserDefaults::shared(), &UserDefaults::valueChanged);
  QSignalSpy published(&store(), &HistoryStore::retentionPolicyChanged);
  store().setRetentionPolicy(RetentionPolicy::forever);
  EXPECT_EQ(store().records().size(), 2);
  store().setRetentionPolicy(RetentionPolicy::oneDay);
  EXPECT_EQ(idsOf(store().records()), QStringList{QStringLiteral("new")});

  store().addRecord(makeRecord(QStringLiteral("late"), kNow.addDays(-2)));
  store().setRetentionPolicy(RetentionPolicy::oneDay);
  EXPECT_EQ(idsOf(store().records()), QStringList{QStringLiteral("new")});
  EXPECT_EQ(stored.count(), 3);
  EXPECT_EQ(published.count(), 3);
}

TEST(RetentionPolicy, RawValuesAreTheStoredOnesInPickerOrderAndReadStrictly) {
  QStringList raw;
  for (RetentionPolicy policy : allRetentionPolicies()) {
    raw << rawValue(policy);
    EXPECT_EQ(retentionPolicyFromRawValue(rawValue(policy)), policy);
  }
  EXPECT_EQ(raw, (QStringList{"forever", "30days", "7days", "1day", "never"}));
  for (const char* stored : {"7Days", "7 days", "", "thirtyDays"}) {
    EXPECT_FALSE(retentionPolicyFromRawValue(QString::fromLatin1(stored))) << stored;
  }
}

TEST(RetentionPolicy, LabelsFollowTheInterfaceLanguageAtEachUse) {
  const auto labels = [] {
    QStringList texts;
    for (RetentionPolicy policy : allRetentionPolicies()) texts << displayName(policy);
    return texts;
  };
  LanguageManager::shared().setCurrent(AppLanguage::en);
  const AppStrings& english = stringsFor(AppLanguage::en);
  EXPECT_EQ(labels(), (QStringList{english.historyRetentionForever, english.historyRetention30Days,
                                   english.historyRetention7Days, english.historyRetention1Day,
                                   english.historyRetentionNever}));
  LanguageManager::shared().setCurrent(AppLanguage::ko);
  EXPECT_EQ(displayName(RetentionPolicy::never), stringsFor(AppLanguage::ko).historyRetentionNever);
  EXPECT_NE(displayName(RetentionPolicy::never), english.historyRetentionNever);
}

TEST_F(HistoryStoreTest, AStoredPolicyOfAnotherTypeReadsAsForever) {
  UserDefaults::shared().setInteger(QStringLiteral("historyRetentionPolicy"), 7);
  EXPECT_EQ(store().retentionPolicy(), RetentionPolicy::forever);
}

TEST_F(HistoryStoreTest, NeverKeepsNothingAndLeavesNoAudioBehind) {
  store().load();
  const RecordingHistory a = withAudio(QStringLiteral("A"), kNow);
  store().addRecord(a);
  store().addRecord(withAudio(QStringLiteral("B"), kNow.addDays(-400)));
  QSignalSpy changes(&store(), &HistoryStore::recordsChanged);

  store().setRetentionPolicy(RetentionPolicy::never);
  EXPECT_TRUE(store().records().isEmpty());
  EXPECT_EQ(contentsOf(historyFile()), QByteArray("[]"));
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(QDir(audioFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{});

  // No copy is made, and a record that still names one is refused with it.
  const QString recording = makeRecording(QStringLiteral("C.wav"));
  EXPECT_FALSE(store().persistAudio(recording));
  EXPECT_TRUE(QFile::exists(recording));
  store().addRecord(makeRecord(QStringLiteral("C"), kNow));
  EXPECT_TRUE(store().records().isEmpty());
  EXPECT_EQ(contentsOf(historyFile()), QByteArray("[]"));
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(QDir(audioFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{});

  // An empty history under "never" is not written again.
  QFile::remove(historyFile());
  store().setRetentionPolicy(RetentionPolicy::never);
  store().load();
  EXPECT_FALSE(QFile::exists(historyFile()));
}

TEST_F(HistoryStoreTest, AnUndecodableFileIsKeptAsideAndTheStoreWorksOn) {
  const QByteArray lacksRetryable =
      R"([{"id":"a","createdAt":1,"operation":"transcribe","status":"success","retryable":true},
          {"id":"b","createdAt":2,"operation":"transcribe","status":"success"}])";
  for (const QByteArray& damaged : {lacksRetryable, QByteArray("[{\"id\":"), QByteArray()}) {
    SCOPED_TRACE(damaged.constData());
    const QDir folder(HistoryStore::historyDirectoryURL(kAnn));
    for (const QString& name : folder.entryList({QStringLiteral("*.corrupt-*")})) QFile::remove(folder.filePath(name));
    writeFile(historyFile(), damaged);

    testing::internal::CaptureStdout();
    store().load();
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(store().records().isEmpty());
    EXPECT_EQ(output.rfind("[HistoryStore] ", 0), 0u) << output;

    const QStringList aside = folder.entryList({QStringLiteral("recording_history.json.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(contentsOf(folder.filePath(aside.first())), damaged);

    store().addRecord(makeRecord(QStringLiteral("fresh"), kNow));
    EXPECT_EQ(idsOf(recordsOnDisk()), QStringList{QStringLiteral("fresh")});
    EXPECT_EQ(contentsOf(folder.filePath(aside.first())), damaged);
  }
}

TEST_F(HistoryStoreTest, OnlyTheAccountsOwnAudioCopiesAreEverDeleted) {
  store().load();
  const QString precious = TestEnvironment::root() + QStringLiteral("/home/precious.txt");
  writeFile(precious, "keep me");
  QFile::link(precious, audioFolder() + QStringLiteral("/link.wav"));
  const QString otherAccountCopy =
      HistoryStore::historyDirectoryURL(QStringLiteral("bob@example.com")) + QStringLiteral("/AudioFiles/B.wav");
  writeFile(otherAccountCopy, "bob's");

  const struct {
    const char* why;
    QString path;
  } cases[] = {
      {"outside the folder", precious},
      {"climbing out with ..", audioFolder() + QStringLiteral("/../../../../precious.txt")},
      {"relative", QStringLiteral("precious.txt")},
      {"another account's copy", otherAccountCopy},
      {"the folder itself", audioFolder()},
      {"a link inside that points outside", audioFolder() + QStringLiteral("/link.wav")},
  };
  using Removal = std::function<void(const QString& id)>;
  const Removal removals[] = {
      [](const QString& id) { store().deleteRecord(id, true); },
      [](const QString& id) { store().deleteAudio(id); },
      [](const QString&) { store().setRetentionPolicy(RetentionPolicy::never); },
  };
  for (const Removal& remove : removals) {
    store().setRetentionPolicy(RetentionPolicy::forever);
    for (const auto& c : cases) {
      store().addRecord(makeRecord(QString::fromLatin1(c.why), kNow, RecognitionStatus::success, c.path));
      remove(QString::fromLatin1(c.why));
      EXPECT_EQ(contentsOf(precious), QByteArray("keep me")) << c.why;
      EXPECT_EQ(contentsOf(otherAccountCopy), QByteArray("bob's")) << c.why;
      EXPECT_TRUE(QFileInfo(audioFolder()).isDir()) << c.why;
    }
  }
  // The link itself was ours to remove.
  EXPECT_FALSE(QFileInfo(audioFolder() + QStringLiteral("/link.wav")).isSymLink());
}

TEST_F(HistoryStoreTest, DeletingARecordOrOnlyItsAudio) {
  store().load();
  const RecordingHistory kept = withAudio(QStringLiteral("kept-audio"), kNow);
  const RecordingHistory removed = withAudio(QStringLiteral("removed-audio"), kNow);
  const RecordingHistory gone = withAudio(QStringLiteral("gone"), kNow);
  for (const auto& record : {kept, removed, gone}) store().addRecord(record);

  store().deleteRecord(kept.id, false);
  EXPECT_TRUE(QFile::exists(*kept.audioFilePath));
  store().deleteRecord(removed.id, true);
  EXPECT_FALSE(QFile::exists(*removed.audioFilePath));
  EXPECT_EQ(idsOf(recordsOnDisk()), QStringList{gone.id});

  // The copy already vanished: the record still forgets it.
  QFile::remove(*gone.audioFilePath);
  store().deleteAudio(gone.id);
  EXPECT_EQ(store().records().first().audioFilePath, std::nullopt);
  EXPECT_EQ(recordsOnDisk().first().audioFilePath, std::nullopt);
  EXPECT_EQ(recordsOnDisk().first().status, RecognitionStatus::success);
}

TEST_F(HistoryStoreTest, AudioIsCopiedUnderItsOwnNameAndFailuresAreReported) {
  store().load();
  const QString recording = makeRecording(QStringLiteral("5D0E.wav"), "first");
  const auto copy = store().persistAudio(recording);
  ASSERT_TRUE(copy);
  EXPECT_EQ(*copy, audioFolder() + QStringLiteral("/5D0E.wav"));
  EXPECT_EQ(contentsOf(*copy), QByteArray("first"));
  EXPECT_TRUE(QFile::exists(recording));

  // A copy of that name is replaced; keeping the copy itself keeps it intact.
  writeFile(recording, "second");
  EXPECT_EQ(store().persistAudio(recording), copy);
  EXPECT_EQ(contentsOf(*copy), QByteArray("second"));
  EXPECT_EQ(store().persistAudio(*copy), copy);
  EXPECT_EQ(contentsOf(*copy), QByteArray("second"));

  // A copy that fails leaves the earlier copy of that name as it was.
  QFile::remove(recording);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(store().persistAudio(recording));
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_EQ(output.rfind("[HistoryStore] Failed to persist audio: ", 0), 0u) << output;
  EXPECT_EQ(contentsOf(*copy), QByteArray("second"));
  EXPECT_EQ(QDir(audioFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("5D0E.wav")});
}

TEST_F(HistoryStoreTest, TheHistoryItsAudioAndItsKeptCopiesAreTheUsersAlone) {
  ::umask(022);  // files are made readable by all unless the program says otherwise
  const QDir folder(HistoryStore::historyDirectoryURL(kAnn));
  seedFile({makeRecord(QStringLiteral("old"), kNow)});  // as an older release left it
  ASSERT_EQ(fileMode(historyFile()), 0644);
  store().load();
  store().addRecord(makeRecord(QStringLiteral("new"), kNow, RecognitionStatus::success,
                               store().persistAudio(makeRecording(QStringLiteral("A1.wav")))));
  EXPECT_EQ(fileMode(historyFile()), 0600) << "replaced";
  EXPECT_EQ(fileMode(audioFolder() + QStringLiteral("/A1.wav")), 0600) << "audio copy";

  QFile::remove(historyFile());
  store().save();
  EXPECT_EQ(fileMode(historyFile()), 0600) << "new";

  writeFile(historyFile(), "[{\"id\":");
  ::chmod(QFile::encodeName(historyFile()).constData(), 0644);
  testing::internal::CaptureStdout();
  store().load();
  testing::internal::GetCapturedStdout();
  const QStringList aside = folder.entryList({QStringLiteral("recording_history.json.corrupt-*")});
  ASSERT_EQ(aside.size(), 1);
  EXPECT_EQ(fileMode(folder.filePath(aside.first())), 0600) << "kept unreadable copy";
}

TEST_F(HistoryStoreTest, AFailedSaveIsReportedAndKeepsTheRecordsInMemory) {
  store().load();
  QDir().mkpath(historyFile());  // a folder where the file belongs: no write can replace it
  testing::internal::CaptureStdout();
  store().addRecord(makeRecord(QStringLiteral("a"), kNow));
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_EQ(output.rfind("[HistoryStore] Save failed: ", 0), 0u) << output;
  EXPECT_EQ(idsOf(store().records()), QStringList{QStringLiteral("a")});
}

TEST_F(HistoryStoreTest, ASaveCutShortLeavesThePreviousFileWhole) {
  store().load();
  store().addRecord(makeRecord(QStringLiteral("first"), kNow));
  const QByteArray before = contentsOf(historyFile());
  ASSERT_FALSE(before.isEmpty());

  // The file system stops the write half-way, as a full disk would: a file
  // may not grow past a limit that the new history exceeds.
  RecordingHistory large = makeRecord(QStringLiteral("second"), kNow);
  large.transcript = QString(16 * 1024, QLatin1Char('x'));
  std::string output;
  {
    const FileSizeLimit limit(before.size() + 2048);
    ASSERT_TRUE(limit.active());
    testing::internal::CaptureStdout();
    store().addRecord(large);
    output = testing::internal::GetCapturedStdout();
  }

  EXPECT_EQ(output.rfind("[HistoryStore] Save failed: ", 0), 0u) << output;
  EXPECT_EQ(contentsOf(historyFile()), before);
  EXPECT_EQ(QDir(HistoryStore::historyDirectoryURL(kAnn)).entryList(QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("recording_history.json")});
  EXPECT_EQ(idsOf(store().records()), (QStringList{QStringLiteral("second"), QStringLiteral("first")}));

  // Once there is room again the next save writes everything.
  store().save();
  EXPECT_EQ(idsOf(recordsOnDisk()), (QStringList{QStringLiteral("second"), QStringLiteral("first")}));
}

TEST_F(HistoryStoreTest, OneAccountsRecordsNeverOverwriteAnothersFile) {
  seedFile({makeRecord(QStringLiteral("ann"), kNow)});
  const QString bob = QStringLiteral("bob@example.com");
  seedFile({makeRecord(QStringLiteral("bob"), kNow)}, bob);
  store().load();

  // Signed in as someone else without a load: Ann's records stay in memory.
  AuthStore::shared().setEmail(bob);
  testing::internal::CaptureStdout();
  store().addRecord(makeRecord(QStringLiteral("ann-2"), kNow));
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("[HistoryStore] Save failed: ", 0), 0u);
  EXPECT_EQ(idsOf(recordsOnDisk(bob)), QStringList{QStringLiteral("bob")});

  // Sign-out empties the memory only; a save before the account is gone
  // must not write that empty list over the file.
  AuthStore::shared().setEmail(kAnn);
  store().load();
  QSignalSpy changes(&store(), &HistoryStore::recordsChanged);
  store().clearRecords();
  EXPECT_EQ(changes.count(), 1);
  EXPECT_TRUE(store().records().isEmpty());
  testing::internal::CaptureStdout();
  store().save();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(idsOf(recordsOnDisk()), QStringList{QStringLiteral("ann")});
}

}  // namespace
