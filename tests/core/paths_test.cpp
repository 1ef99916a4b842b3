#include "core/paths.h"

#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

int modeOf(const QString& path) {
  struct stat info {};
  if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return -1;
  return info.st_mode & 0777;
}

TEST(Paths, TemporaryFolderIsPrivateAndUnderTheRuntimeFolder) {
  const QString folder = Paths::temporaryDirectory();
  EXPECT_EQ(folder, TestEnvironment::root() + QStringLiteral("/run/vorlix.voice-input"));
  EXPECT_EQ(modeOf(folder), 0700);

  // A folder someone widened is made private again.
  ::chmod(QFile::encodeName(folder).constData(), 0755);
  EXPECT_EQ(Paths::temporaryDirectory(), folder);
  EXPECT_EQ(modeOf(folder), 0700);
}

TEST(Paths, WithoutRuntimeFolderFallsBackToThePrivateCache) {
  qunsetenv("XDG_RUNTIME_DIR");
  const QString folder = Paths::temporaryDirectory();
  EXPECT_EQ(folder, TestEnvironment::root() + QStringLiteral("/home/.cache/vorlix.voice-input/tmp"));
  EXPECT_EQ(modeOf(folder), 0700);
  EXPECT_EQ(modeOf(QFileInfo(folder).absolutePath()), 0700);
}

TEST(Paths, SymbolicLinkInPlaceOfTheFolderIsNeverUsed) {
  const QString elsewhere = TestEnvironment::root() + QStringLiteral("/elsewhere");
  QDir().mkpath(elsewhere);
  const QString runtime = TestEnvironment::root() + QStringLiteral("/run/vorlix.voice-input");
  ASSERT_TRUE(QFile::link(elsewhere, runtime));
  const QString folder = Paths::temporaryDirectory();
  EXPECT_FALSE(folder.isEmpty());
  EXPECT_NE(folder, runtime);
  EXPECT_FALSE(folder.startsWith(elsewhere));
}

TEST(Paths, LongLivedFoldersFollowTheXdgVariables) {
  EXPECT_EQ(Paths::configDirectory(), TestEnvironment::root() + QStringLiteral("/home/.config/vorlix.voice-input"));
  EXPECT_EQ(Paths::applicationSupportDirectory(),
            TestEnvironment::root() + QStringLiteral("/home/.local/share/vorlix.voice-input"));
  EXPECT_EQ(Paths::documentsDirectory(), TestEnvironment::root() + QStringLiteral("/home/Documents"));
}

}  // namespace
