#include "platform/linux/desktopsettingslauncher.h"
#include "awaittask.h"
#include "testenvironment.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using Pane = SettingsLauncher::Pane;

// The settings programs are looked for on a private PATH, put back afterwards.
class DesktopSettingsLauncherTest : public ::testing::Test {
 protected:
  void TearDown() override { qputenv("PATH", path_); }
  // A program on the private PATH that writes its arguments, one a line, to
  // "<name>.args" beside itself (written aside, then renamed: never seen half written).
  QString install(const QString& name) {
    QFile script(bin + u'/' + name);
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.part\"\n/bin/mv \"$0.part\" \"$0.args\"\n");
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script.fileName() + QStringLiteral(".args");
  }
  static QString readWhenWritten(const QString& path) {
    waitUntil([&] { return QFile::exists(path); });
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }
  QByteArray path_ = qgetenv("PATH");
  QString bin = TestEnvironment::root() + QStringLiteral("/bin");
};

TEST_F(DesktopSettingsLauncherTest, StartsTheFirstProgramFoundWithItsOwnArguments) {
  QDir().mkpath(bin);
  qputenv("PATH", QFile::encodeName(bin));
  DesktopSettingsLauncher launcher;
  EXPECT_FALSE(launcher.open(Pane::microphone)) << "nothing on the PATH";
  const QString mixer = install(QStringLiteral("pavucontrol"));
  EXPECT_TRUE(launcher.open(Pane::microphone));
  EXPECT_EQ(readWhenWritten(mixer), QStringLiteral("--tab=4\n"));
  EXPECT_FALSE(launcher.open(Pane::accessibility)) << "the mixer has no accessibility settings";
  // A desktop's own settings come before the mixer.
  const QString gnome = install(QStringLiteral("gnome-control-center"));
  EXPECT_TRUE(launcher.open(Pane::accessibility));
  EXPECT_EQ(readWhenWritten(gnome), QStringLiteral("universal-access\n"));
  QFile::remove(gnome);
  EXPECT_TRUE(launcher.open(Pane::microphone));
  EXPECT_EQ(readWhenWritten(gnome), QStringLiteral("sound\n"));
}

}  // namespace
