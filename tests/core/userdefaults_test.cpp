#include "core/userdefaults.h"

#include "filemode.h"
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

// A settings folder of its own for each test.
class UserDefaultsTest : public ::testing::Test {
 protected:
  UserDefaultsTest() { QDir(folder).removeRecursively(); }
  ~UserDefaultsTest() override { QDir(folder).removeRecursively(); }

  void write(const QByteArray& contents) {
    QDir().mkpath(folder);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
  }
  QByteArray onDisk(const QString& file = {}) {
    QFile in(file.isEmpty() ? path : file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
  }
  QStringList files() const { return QDir(folder).entryList(QDir::Files); }

  const QString folder = TestEnvironment::root() + QStringLiteral("/defaults");
  const QString path = folder + QStringLiteral("/settings.json");
};

TEST_F(UserDefaultsTest, KeepsEveryTypeExactlyAcrossInstancesAndTellsAbsentFromDifferent) {
  const qint64 big = std::numeric_limits<qint64>::max() - 7;  // beyond a double's precision
  const double inf = std::numeric_limits<double>::infinity();
  {
    UserDefaults defaults(path);
    QSignalSpy spy(&defaults, &UserDefaults::valueChanged);
    defaults.setText(QStringLiteral("text"), QStringLiteral("héllo \"quoted\"\n"));
    defaults.setInteger(QStringLiteral("big"), big);
    defaults.setReal(QStringLiteral("real"), 1.0);
    defaults.setBytes(QStringLiteral("bytes"), QByteArray("\x00\xff\x01", 3));
    defaults.setStringList(QStringLiteral("list"), {QStringLiteral("a"), QString()});
    // JSON has no NaN or infinity: written carelessly they would cost the whole file.
    defaults.setReal(QStringLiteral("nan"), std::numeric_limits<double>::quiet_NaN());
    defaults.setReal(QStringLiteral("up"), inf);
    defaults.setText(QStringLiteral("gone"), QStringLiteral("x"));
    defaults.setText(QStringLiteral("gone"), QStringLiteral("x"));  // an equal value still counts
    defaults.remove(QStringLiteral("gone"));
    EXPECT_EQ(spy.count(), 10);
    EXPECT_EQ(spy.last().at(0).toString(), QStringLiteral("gone"));
  }
  UserDefaults reloaded(path);
  EXPECT_TRUE(reloaded.quarantinedPath().isEmpty());
  EXPECT_EQ(reloaded.text(QStringLiteral("text")), QStringLiteral("héllo \"quoted\"\n"));
  EXPECT_EQ(reloaded.integer(QStringLiteral("big")), big);
  EXPECT_EQ(reloaded.typeOf(QStringLiteral("real")), UserDefaults::Type::Double);
  EXPECT_EQ(reloaded.bytes(QStringLiteral("bytes")), QByteArray("\x00\xff\x01", 3));
  EXPECT_EQ(reloaded.stringList(QStringLiteral("list")), (QStringList{QStringLiteral("a"), QString()}));
  EXPECT_TRUE(std::isnan(reloaded.real(QStringLiteral("nan")).value_or(0)));
  EXPECT_EQ(reloaded.real(QStringLiteral("up")), inf);
  EXPECT_FALSE(reloaded.contains(QStringLiteral("gone")));
  EXPECT_EQ(reloaded.boolean(QStringLiteral("big")), std::nullopt);  // a read of another type gets nothing
}

// Whatever the folder and umask allow, only the user can read the file or its copy aside.
TEST_F(UserDefaultsTest, AFileThatIsNoJsonObjectIsMovedAsideAndTheStoreStaysUsableAndPrivate) {
  const mode_t previous = ::umask(022);
  QDir().mkpath(folder);
  ::chmod(QFile::encodeName(folder).constData(), 0755);
  for (const QByteArray& damaged : {QByteArray("{\"values\": {\"a\": "), QByteArray("[1,2]")}) {
    SCOPED_TRACE(damaged.constData());
    QFile::remove(path);
    write(damaged);
    ::chmod(QFile::encodeName(path).constData(), 0644);
    UserDefaults defaults(path);
    ASSERT_FALSE(defaults.quarantinedPath().isEmpty());
    EXPECT_EQ(onDisk(defaults.quarantinedPath()), damaged);
    EXPECT_EQ(fileMode(defaults.quarantinedPath()), 0600);
    EXPECT_TRUE(defaults.keys().isEmpty());
    defaults.setText(QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_EQ(UserDefaults(path).text(QStringLiteral("k")), QStringLiteral("v"));
    EXPECT_EQ(fileMode(path), 0600);
  }
  // Values that are no object are copied aside before the first write, once; the file replaced is private.
  QDir(folder).removeRecursively();
  const QByteArray listed = R"({"version":1,"values":["auth_token","secret"]})";
  write(listed);
  ::chmod(QFile::encodeName(path).constData(), 0644);
  UserDefaults defaults(path);
  EXPECT_TRUE(defaults.quarantinedPath().isEmpty());  // nothing is touched before a write
  defaults.setText(QStringLiteral("k"), QStringLiteral("v"));
  EXPECT_EQ(onDisk(defaults.quarantinedPath()), listed);
  defaults.setText(QStringLiteral("k"), QStringLiteral("w"));
  EXPECT_EQ(files().size(), 2);
  EXPECT_EQ(fileMode(path), 0600);
  ::umask(previous);
}

TEST_F(UserDefaultsTest, AnUnreadableEntryCostsItsKeyAloneAndStaysUntilThatKeyIsWritten) {
  const QByteArray kinds[] = {
      R"("pro")",                                              // a plain value
      R"({"type":"integer","value":"99999999999999999999"})",  // beyond 64 bits
      R"({"type":"bytes","value":"not base64!"})",
  };
  for (const QByteArray& bad : kinds) {
    SCOPED_TRACE(bad.constData());
    write(R"({"version":1,"note":"mine","values":{"auth_token":{"type":"text","value":"secret"},"bad":)" + bad +
          R"(,"hotkeys":{"type":"bytes","value":"e30="}}})");
    const QJsonValue original = QJsonDocument::fromJson("[" + bad + "]").array().at(0);
    LogCapture log;
    UserDefaults defaults(path);
    EXPECT_TRUE(defaults.quarantinedPath().isEmpty());
    EXPECT_EQ(defaults.text(QStringLiteral("auth_token")), QStringLiteral("secret"));
    EXPECT_EQ(defaults.bytes(QStringLiteral("hotkeys")), QByteArray("{}"));
    EXPECT_FALSE(defaults.contains(QStringLiteral("bad")));
    EXPECT_EQ(log.texts(QStringLiteral("UserDefaults")).filter(QStringLiteral("\"bad\"")).size(), 1);

    // A write of another key keeps what could not be read, where it was.
    defaults.setText(QStringLiteral("app_language"), QStringLiteral("ko"));
    const QJsonObject file = QJsonDocument::fromJson(onDisk()).object();
    EXPECT_EQ(file["values"]["bad"], original);
    EXPECT_EQ(file["note"], QStringLiteral("mine"));
    // Writing the key itself replaces it.
    defaults.setBoolean(QStringLiteral("bad"), true);
    const UserDefaults reread(path);
    EXPECT_EQ(reread.boolean(QStringLiteral("bad")), true);
    EXPECT_EQ(reread.text(QStringLiteral("app_language")), QStringLiteral("ko"));
  }
}

TEST_F(UserDefaultsTest, AWriteCutShortLeavesThePreviousFileWholeAndNoTemporaryFile) {
  UserDefaults defaults(path);
  defaults.setText(QStringLiteral("auth_token"), QStringLiteral("secret"));
  const QByteArray contents = onDisk();
  {
    const FileSizeLimit limit(contents.size() + 2048);  // the disk fills up half-way
    ASSERT_TRUE(limit.active());
    defaults.setText(QStringLiteral("large"), QString(64 * 1024, QLatin1Char('x')));
  }
  EXPECT_EQ(onDisk(), contents);
  EXPECT_EQ(files(), QStringList{QStringLiteral("settings.json")});
  defaults.setBoolean(QStringLiteral("flag"), true);  // once there is room, everything is kept
  const UserDefaults reread(path);
  EXPECT_EQ(reread.text(QStringLiteral("auth_token")), QStringLiteral("secret"));
  EXPECT_EQ(reread.text(QStringLiteral("large")).value_or(QString()).size(), 64 * 1024);
  EXPECT_EQ(files(), QStringList{QStringLiteral("settings.json")});
}

}  // namespace
