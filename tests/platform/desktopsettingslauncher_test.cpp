#include "platform/linux/desktopsettingslauncher.h"

#include "awaittask.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using Pane = SettingsLauncher::Pane;

// A settings program on a private PATH that writes its arguments, one a line,
// to "<name>.args" beside itself. The file appears whole (written aside, then
// renamed), so a reader never sees it half written.
QString installProgram(const QString& folder, const QString& name) {
  const QString path = folder + QLatin1Char('/') + name;
  QFile script(path);
  EXPECT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.part\"\n"
               "/bin/mv \"$0.part\" \"$0.args\"\n");
  script.close();
  script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return path + QStringLiteral(".args");
}

QString readWhenWritten(const QString& path) {
  waitUntil([&] { return QFile::exists(path); });
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The settings programs are looked for on a private PATH, put back afterwards.
class DesktopSettingsLauncherTest : public ::testing::Test {
 protected:
  void TearDown() override { qputenv("PATH", path_); }
  QByteArray path_ = qgetenv("PATH");
};

TEST_F(DesktopSettingsLauncherTest, StartsTheFirstProgramFoundWithItsOwnArguments) {
  const QString bin = TestEnvironment::root() + QStringLiteral("/bin");
  QDir().mkpath(bin);
  qputenv("PATH", QFile::encodeName(bin));
  DesktopSettingsLauncher launcher;
  EXPECT_FALSE(launcher.open(Pane::microphone)) << "nothing on the PATH";

  const QString mixer = installProgram(bin, QStringLiteral("pavucontrol"));
  EXPECT_TRUE(launcher.open(Pane::microphone));
  EXPECT_EQ(readWhenWritten(mixer), QStringLiteral("--tab=4\n"));
  EXPECT_FALSE(launcher.open(Pane::accessibility)) << "the mixer has no accessibility settings";

  // A desktop's own settings come before the mixer.
  const QString gnome = installProgram(bin, QStringLiteral("gnome-control-center"));
  EXPECT_TRUE(launcher.open(Pane::accessibility));
  EXPECT_EQ(readWhenWritten(gnome), QStringLiteral("universal-access\n"));
  QFile::remove(gnome);
  EXPECT_TRUE(launcher.open(Pane::microphone));
  EXPECT_EQ(readWhenWritten(gnome), QStringLiteral("sound\n"));
}

}  // namespace
