#include "core/userdefaults.h"

#include "filesizelimit.h"
#include "logcapture.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <sys/stat.h>

namespace {

QString storePath() { return TestEnvironment::root() + QStringLiteral("/defaults/settings.json"); }

void writeFile(const QString& path, const QByteArray& contents) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(contents);
}

TEST(UserDefaults, KeepsEveryTypeExactlyAcrossInstances) {
  const qint64 big = std::numeric_limits<qint64>::max() - 7;  // beyond a double's precision
  {
    UserDefaults defaults(storePath());
    defaults.setText(QStringLiteral("text"), QStringLiteral("héllo \"quoted\"\n"));
    defaults.setInteger(QStringLiteral("big"), big);
    defaults.setInteger(QStringLiteral("negative"), -42);
    defaults.setReal(QStringLiteral("real"), 1.0);
    defaults.setBoolean(QStringLiteral("flag"), false);
    defaults.setBytes(QStringLiteral("bytes"), QByteArray("\x00\xff\x01", 3));
    defaults.setStringList(QStringLiteral("list"), {QStringLiteral("a"), QString()});
    defaults.setText(QStringLiteral("empty"), QString());
  }
  UserDefaults reloaded(storePath());
  EXPECT_EQ(reloaded.text(QStringLiteral("text")), QStringLiteral("héllo \"quoted\"\n"));
  EXPECT_EQ(reloaded.integer(QStringLiteral("big")), big);
  EXPECT_EQ(reloaded.integer(QStringLiteral("negative")), -42);
  EXPECT_EQ(reloaded.real(QStringLiteral("real")), 1.0);
  EXPECT_EQ(reloaded.typeOf(QStringLiteral("real")), UserDefaults::Type::Double);
  EXPECT_EQ(reloaded.boolean(QStringLiteral("flag")), false);
  EXPECT_EQ(reloaded.bytes(QStringLiteral("bytes")), QByteArray("\x00\xff\x01", 3));
  EXPECT_EQ(reloaded.stringList(QStringLiteral("list")), (QStringList{QStringLiteral("a"), QString()}));
  EXPECT_EQ(reloaded.text(QStringLiteral("empty")), QString());
  EXPECT_TRUE(reloaded.contains(QStringLiteral("empty")));
}

TEST(UserDefaults, NonFiniteDoublesComeBackAndNeverCostTheFile) {
  // JSON has no NaN or infinity: a careless writer turns them into null, the
  // next start cannot read the file and every setting (the sign-in too) is lost.
  {
    UserDefaults defaults(storePath());
    defaults.setText(QStringLiteral("auth_token"), QStringLiteral("secret"));
    defaults.setReal(QStringLiteral("nan"), std::numeric_limits<double>::quiet_NaN());
    defaults.setReal(QStringLiteral("up"), std::numeric_limits<double>::infinity());
    defaults.setReal(QStringLiteral("down"), -std::numeric_limits<double>::infinity());
  }
  UserDefaults reloaded(storePath());
  EXPECT_TRUE(reloaded.quarantinedPath().isEmpty());
  EXPECT_EQ(reloaded.text(QStringLiteral("auth_token")), QStringLiteral("secret"));
  ASSERT_TRUE(reloaded.real(QStringLiteral("nan")).has_value());
  EXPECT_TRUE(std::isnan(*reloaded.real(QStringLiteral("nan"))));
  EXPECT_EQ(reloaded.real(QStringLiteral("up")), std::numeric_limits<double>::infinity());
  EXPECT_EQ(reloaded.real(QStringLiteral("down")), -std::numeric_limits<double>::infinity());
}

TEST(UserDefaults, ReadOfAnotherTypeTellsAbsentFromDifferent) {
  UserDefaults defaults(storePath());
  defaults.setInteger(QStringLiteral("flag"), 1);
  EXPECT_EQ(defaults.boolean(QStringLiteral("flag")), std::nullopt);
  EXPECT_EQ(defaults.real(QStringLiteral("flag")), std::nullopt);
  EXPECT_EQ(defaults.typeOf(QStringLiteral("flag")), UserDefaults::Type::Integer);
  EXPECT_EQ(defaults.typeOf(QStringLiteral("missing")), std::nullopt);
  EXPECT_FALSE(defaults.contains(QStringLiteral("missing")));

  defaults.setBoolean(QStringLiteral("flag"), true);  // a write replaces the type
  EXPECT_EQ(defaults.boolean(QStringLiteral("flag")), true);
  EXPECT_EQ(defaults.integer(QStringLiteral("flag")), std::nullopt);
}

TEST(UserDefaults, SignalsEveryWriteAndRemovalAndPersistsRemoval) {
  UserDefaults defaults(storePath());
  QSignalSpy spy(&defaults, &UserDefaults::valueChanged);
  defaults.setText(QStringLiteral("a"), QStringLiteral("x"));
  defaults.setText(QStringLiteral("a"), QStringLiteral("x"));  // an equal value still counts
  defaults.remove(QStringLiteral("a"));
  ASSERT_EQ(spy.count(), 3);
  EXPECT_EQ(spy.at(2).at(0).toString(), QStringLiteral("a"));
  EXPECT_FALSE(UserDefaults(storePath()).contains(QStringLiteral("a")));
}

TEST(UserDefaults, AFileThatIsNoJsonObjectIsKeptAsideAndStoreStaysUsable) {
  for (const QByteArray& damaged : {QByteArray("{\"values\": {\"a\": "), QByteArray("[1,2]")}) {
    QFile::remove(storePath());
    writeFile(storePath(), damaged);
    UserDefaults defaults(storePath());
    ASSERT_FALSE(defaults.quarantinedPath().isEmpty()) << damaged.constData();
    QFile aside(defaults.quarantinedPath());
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), damaged);
    EXPECT_TRUE(defaults.keys().isEmpty());

    defaults.setText(QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_EQ(UserDefaults(storePath()).text(QStringLiteral("k")), QStringLiteral("v"));
    QFile::remove(defaults.quarantinedPath());
  }
}

QJsonObject valuesOnDisk() {
  QFile file(storePath());
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("values")).toObject();
}

TEST(UserDefaults, AnUnreadableEntryCostsItsKeyAloneAndStaysUntilThatKeyIsWritten) {
  const QByteArray kinds[] = {
      R"("pro")",                                          // a plain value
      R"({"type":"date","value":"2024-01-01"})",           // an unknown type
      R"({"type":"boolean","value":"yes"})",               // a Boolean in words
      R"({"type":"integer","value":"99999999999999999999"})",  // beyond 64 bits
      R"({"type":"bytes","value":"not base64!"})",
      R"({"value":"no type"})",
  };
  for (const QByteArray& bad : kinds) {
    SCOPED_TRACE(bad.constData());
    QFile::remove(storePath());
    writeFile(storePath(), R"({"version":1,"note":"mine","values":{
        "auth_token":{"type":"text","value":"secret"},"bad":)" + bad + R"(,
        "hotkeys":{"type":"bytes","value":"e30="}}})");
    const QJsonValue original = QJsonDocument::fromJson("[" + bad + "]").array().at(0);

    LogCapture log;
    UserDefaults defaults(storePath());
    EXPECT_TRUE(defaults.quarantinedPath().isEmpty());
    EXPECT_EQ(defaults.text(QStringLiteral("auth_token")), QStringLiteral("secret"));
    EXPECT_EQ(defaults.bytes(QStringLiteral("hotkeys")), QByteArray("{}"));
    EXPECT_FALSE(defaults.contains(QStringLiteral("bad")));
    const QStringList logged = log.texts(QStringLiteral("UserDefaults"));
    ASSERT_EQ(logged.size(), 2);  // the entry, and the member beside "values"
    EXPECT_EQ(logged.filter(QStringLiteral("\"bad\"")).size(), 1) << logged.join('\n').toStdString();
    EXPECT_EQ(logged.filter(QStringLiteral("\"note\"")).size(), 1);

    // A write of another key keeps what it could not read, where it was.
    defaults.setText(QStringLiteral("app_language"), QStringLiteral("ko"));
    EXPECT_EQ(valuesOnDisk().value(QStringLiteral("bad")), original);
    QFile file(storePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("note")), QStringLiteral("mine"));

    // Writing the key itself replaces it, and the next start reads it.
    defaults.setBoolean(QStringLiteral("bad"), true);
    LogCapture quiet;
    const UserDefaults reread(storePath());
    EXPECT_EQ(reread.boolean(QStringLiteral("bad")), true);
    EXPECT_EQ(reread.text(QStringLiteral("app_language")), QStringLiteral("ko"));
    EXPECT_EQ(quiet.texts(QStringLiteral("UserDefaults")).filter(QStringLiteral("\"bad\"")), QStringList());
  }
}

TEST(UserDefaults, ValuesThatAreNoObjectAreCopiedAsideBeforeTheFirstWrite) {
  const QByteArray original = R"({"version":1,"values":["auth_token","secret"]})";
  writeFile(storePath(), original);
  UserDefaults defaults(storePath());
  EXPECT_TRUE(defaults.keys().isEmpty());
  EXPECT_TRUE(defaults.quarantinedPath().isEmpty());  // nothing is touched before a write

  defaults.setText(QStringLiteral("k"), QStringLiteral("v"));
  QFile aside(defaults.quarantinedPath());
  ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
  EXPECT_EQ(aside.readAll(), original);
  EXPECT_EQ(UserDefaults(storePath()).text(QStringLiteral("k")), QStringLiteral("v"));
  defaults.setText(QStringLiteral("k"), QStringLiteral("w"));  // once only
  EXPECT_EQ(QDir(QFileInfo(storePath()).absolutePath()).entryList(QDir::Files).size(), 2);
}

TEST(UserDefaults, WritesLeaveNoTemporaryFilesBehind) {
  UserDefaults defaults(storePath());
  for (int i = 0; i < 20; ++i) defaults.setInteger(QStringLiteral("n"), i);
  const QStringList files = QDir(QFileInfo(storePath()).absolutePath()).entryList(QDir::Files);
  EXPECT_EQ(files, QStringList{QStringLiteral("settings.json")});
}

TEST(UserDefaults, AWriteCutShortLeavesThePreviousFileWhole) {
  UserDefaults defaults(storePath());
  defaults.setText(QStringLiteral("auth_token"), QStringLiteral("secret"));
  QFile before(storePath());
  ASSERT_TRUE(before.open(QIODevice::ReadOnly));
  const QByteArray contents = before.readAll();
  before.close();

  // The file system stops a large write half-way, as a full disk would.
  {
    const FileSizeLimit limit(contents.size() + 2048);
    ASSERT_TRUE(limit.active());
    defaults.setText(QStringLiteral("large"), QString(64 * 1024, QLatin1Char('x')));
  }

  QFile after(storePath());
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  EXPECT_EQ(after.readAll(), contents);
  EXPECT_EQ(QDir(QFileInfo(storePath()).absolutePath()).entryList(QDir::Files),
            QStringList{QStringLiteral("settings.json")});

  // Once there is room again the next write keeps everything.
  defaults.setBoolean(QStringLiteral("flag"), true);
  UserDefaults reread(storePath());
  EXPECT_EQ(reread.text(QStringLiteral("auth_token")), QStringLiteral("secret"));
  EXPECT_EQ(reread.text(QStringLiteral("large")).value_or(QString()).size(), 64 * 1024);
}

TEST(UserDefaults, OnlyTheUserCanReadTheFileWhateverTheFolderAllows) {
  // A folder made beforehand by hand, and a file left readable by others.
  ::umask(022);
  const QString folder = QFileInfo(storePath()).absolutePath();
  QDir().mkpath(folder);
  ::chmod(QFile::encodeName(folder).constData(), 0755);
  for (const bool existing : {false, true}) {
    QFile::remove(storePath());
    if (existing) {
      writeFile(storePath(), R"({"version":1,"values":{}})");
      ::chmod(QFile::encodeName(storePath()).constData(), 0644);
    }
    UserDefaults defaults(storePath());
    defaults.setText(QStringLiteral("auth_token"), QStringLiteral("secret"));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(storePath()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << (existing ? "replaced file" : "new file");
  }
}

TEST(UserDefaults, SharedStoreLivesInTheConfigFolder) {
  UserDefaults::shared().setText(QStringLiteral("app_language"), QStringLiteral("en"));
  EXPECT_TRUE(QFile::exists(TestEnvironment::root() + QStringLiteral("/home/.config/vorlix.voice-input/settings.json")));
}

}  // namespace
