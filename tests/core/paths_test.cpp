#include "core/paths.h"

#include "filemode.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Puts back the environment and the private folder.
class PathsTest : public ::testing::Test {
 protected:
  ~PathsTest() override {
    for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
      qputenv(name, saved[name]);
    }
    QFile::remove(runtimeFolder);  // a link put in its place
    Paths::temporaryDirectory();
  }

  const QString root = TestEnvironment::root();
  const QString runtimeFolder = root + QStringLiteral("/run/vorlix.voice-input");
  std::map<std::string, QByteArray> saved{{"XDG_RUNTIME_DIR", qgetenv("XDG_RUNTIME_DIR")},
                                          {"XDG_CONFIG_HOME", qgetenv("XDG_CONFIG_HOME")},
                                          {"XDG_DATA_HOME", qgetenv("XDG_DATA_HOME")}};
};

TEST_F(PathsTest, TheTemporaryFolderIsPrivateUnderTheRuntimeFolderElseInTheCache) {
  QDir(runtimeFolder).removeRecursively();  // made afresh
  EXPECT_EQ(Paths::temporaryDirectory(), runtimeFolder);
  EXPECT_EQ(fileMode(runtimeFolder), 0700);
  ::chmod(QFile::encodeName(runtimeFolder).constData(), 0755);  // widened by someone
  EXPECT_EQ(Paths::temporaryDirectory(), runtimeFolder);
  EXPECT_EQ(fileMode(runtimeFolder), 0700);

  for (const QByteArray& runtime : {QByteArray(), QByteArray("relative/run")}) {
    runtime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtime);
    const QString folder = Paths::temporaryDirectory();
    EXPECT_EQ(folder, root + QStringLiteral("/home/.cache/vorlix.voice-input/tmp")) << runtime.constData();
    EXPECT_EQ(fileMode(folder), 0700);
    EXPECT_EQ(fileMode(QFileInfo(folder).absolutePath()), 0700);
  }
}

TEST_F(PathsTest, ASymbolicLinkInPlaceOfTheFolderIsNeverUsed) {
  const QString elsewhere = root + QStringLiteral("/elsewhere");
  QDir().mkpath(elsewhere);
  QDir(runtimeFolder).removeRecursively();
  ASSERT_TRUE(QFile::link(elsewhere, runtimeFolder));
  const QString folder = Paths::temporaryDirectory();
  EXPECT_NE(folder, runtimeFolder);
  EXPECT_FALSE(folder.isEmpty() || folder.startsWith(elsewhere));
}

TEST_F(PathsTest, LongLivedFoldersFollowTheXdgVariablesWhenAbsolute) {
  EXPECT_EQ(Paths::configDirectory(), root + QStringLiteral("/home/.config/vorlix.voice-input"));
  EXPECT_EQ(Paths::applicationSupportDirectory(), root + QStringLiteral("/home/.local/share/vorlix.voice-input"));
  qputenv("XDG_CONFIG_HOME", "/elsewhere/config");
  qputenv("XDG_DATA_HOME", "relative/data");
  EXPECT_EQ(Paths::configDirectory(), QStringLiteral("/elsewhere/config/vorlix.voice-input"));
  EXPECT_EQ(Paths::applicationSupportDirectory(), root + QStringLiteral("/home/.local/share/vorlix.voice-input"));
  EXPECT_EQ(Paths::documentsDirectory(), root + QStringLiteral("/home/Documents"));
}

}  // namespace
