#include "app/appcastupdater.h"
#include "app/downloadrevealer.h"
#include "app/updateinstaller.h"
#include "app/updaterdelegate.h"
#include "localization/appstrings.h"

#include "awaittask.h"
#include "fakecommandrunner.h"
#include "fakerelauncher.h"
#include "fakeservice.h"
#include "fakeurlopener.h"
#include "filemode.h"
#include "filesizelimit.h"
#include "testenvironment.h"
#include "testsigningkey.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// The first bytes that make a file an AppImage or a Debian package, then `rest`.
QByteArray appImage(const QByteArray& rest) { return QByteArray("\x7f" "ELF\x02\x01\x01\x00" "AI\x02", 11) + rest; }
QByteArray debianPackage(const QByteArray& rest) { return "!<arch>\ndebian-binary   " + rest; }

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Notes when the check has ended, however it ended.
struct CheckEnd final : UpdaterDelegate {
  void updaterDidNotFindUpdate(Updater&) override { ended = true; }
  void updaterWillDownloadUpdate(Updater&, const AppcastItem&, const QNetworkRequest&) override {}
  void updaterDidDownloadUpdate(Updater&, const AppcastItem&) override { ended = true; }
  void updaterDidAbortWithError(Updater&, const QString&) override { ended = true; }
  void updaterFailedToDownloadUpdate(Updater&, const AppcastItem&, const QString&) override { ended = true; }
  bool ended = false;
};

class UpdateInstallerTest : public ::testing::Test {
 protected:
  UpdateInstallerTest() {
    QDir().mkpath(TestEnvironment::root() + QStringLiteral("/Applications"));
    QFile image(standIn);
    EXPECT_TRUE(image.open(QIODevice::WriteOnly) && image.write("the running image") > 0);
    ::chmod(QFile::encodeName(standIn).constData(), 0751);
  }

  // Publishes `release` as version 1.0.0 named `name`; returns once the program has found it,
  // downloaded it and handed it to the installer.
  void deliver(const QByteArray& name, const QByteArray& release, bool withKey = true) {
    const QByteArray enclosure = "<enclosure url=\"" + service.origin().toString().toUtf8() + "/" + name +
                                 "\" length=\"" + QByteArray::number(release.size()) + "\" sparkle:edSignature=\"" +
                                 key.sign(release) + "\"/>";
    service.route("GET", "/appcast.xml",
                  ScriptedResponse::text(200, R"(<rss xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">)"
                                              "<channel><item><sparkle:version>1.0.0</sparkle:version>" +
                                              enclosure + "</item></channel></rss>"));
    service.route("GET", "/" + name, ScriptedResponse::text(200, release, "application/octet-stream"));
    if (!installer) installer = std::make_unique<UpdateInstaller>(runner, relauncher, installation);
    CheckEnd end;
    AppcastUpdater updater(end, *installer,
                           {.feedURL = QUrl(service.origin().toString() + "/appcast.xml"),
                            .currentVersion = QStringLiteral("0.2.0"),
                            .downloadFolder = downloads,
                            .publicKey = withKey ? key.publicKey() : QString()});
    updater.checkForUpdates();
    ASSERT_TRUE(waitUntil([&] { return end.ended; }));
  }
  // Waits for the question and answers it with the button that reads `text`.
  void answer(const QString& text) {
    ASSERT_TRUE(waitUntil([&] { return installer->question() && installer->question()->isVisible(); }));
    for (QAbstractButton* button : installer->question()->buttons())
      if (button->text() == text) return button->click();
    FAIL() << "no button " << text.toStdString();
  }
  static QString noteText() {
    QMessageBox* note = DownloadRevealer::note();
    return note && note->isVisible() ? note->text() : QString();
  }

  const AppStrings& strings = currentStrings();
  const QString downloads = TestEnvironment::root() + QStringLiteral("/Downloads");
  const QString standIn = TestEnvironment::root() + QStringLiteral("/Applications/Veltrine.AppImage");
  const TestSigningKey key;
  FakeService service;
  FakeCommandRunner runner;
  FakeRelauncher relauncher;
  FakeUrlOpener opener;
  UpdateInstaller::Installation installation{standIn, QStringLiteral("/usr/bin/veltrine"), QStringLiteral("0.2.0")};
  std::unique_ptr<UpdateInstaller> installer;
};

// "Later" changes nothing; a replacement that fails (the disk is full) leaves the running image as it
// was; "Install and Relaunch" puts the new image in its place, with its mode, and starts it.
TEST_F(UpdateInstallerTest, AnAppImageReplacesTheRunningImageOnlyWhenTheUserSaysSoAndAllGoesWell) {
  const QByteArray release = appImage(QByteArray(256 * 1024, 'n'));
  const QString saved = downloads + QStringLiteral("/Veltrine-1.0.0.AppImage");
  deliver("Veltrine-1.0.0.AppImage", release);
  answer(strings.updateLaterButton);
  deliver("Veltrine-1.0.0.AppImage", release);
  EXPECT_EQ(installer->question()->text(), strings.updateInstallText.arg("1.0.0", "0.2.0"));
  {
    const FileSizeLimit diskFull(64 * 1024);
    answer(strings.updateInstallButton);
  }
  EXPECT_EQ(noteText(), strings.updateInstallFailedText.arg(saved));
  EXPECT_EQ(readFile(standIn), "the running image");
  EXPECT_TRUE(relauncher.relaunched.isEmpty());

  deliver("Veltrine-1.0.0.AppImage", release);
  answer(strings.updateInstallButton);
  ASSERT_TRUE(waitUntil([&] { return !relauncher.relaunched.isEmpty(); }));
  EXPECT_EQ(relauncher.relaunched, QStringList{standIn});
  EXPECT_EQ(readFile(standIn), release);
  EXPECT_EQ(fileMode(standIn), 0751);
  EXPECT_EQ(QDir(QFileInfo(standIn).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Veltrine.AppImage"});
  EXPECT_FALSE(QFile::exists(saved));  // installed: the download has served
  EXPECT_TRUE(runner.calls.isEmpty());
}

// Installed from a package, a package release goes through pkexec and apt-get; the program starts
// again only when that succeeded.
TEST_F(UpdateInstallerTest, APackageIsInstalledBehindThePrivilegePrompt) {
  installation.appImage.clear();
  runner.answers["dpkg-query"] = FakeCommandRunner::exited(0);
  runner.answers["pkexec"] = FakeCommandRunner::exited(126);  // the user dismisses the password prompt
  const QString saved = downloads + QStringLiteral("/veltrine_1.0.0_amd64.deb");
  deliver("veltrine_1.0.0_amd64.deb", debianPackage("new"));
  answer(strings.updateInstallButton);
  ASSERT_TRUE(waitUntil([&] { return !noteText().isEmpty(); }));
  EXPECT_EQ(noteText(), strings.updateInstallFailedText.arg(saved));
  EXPECT_TRUE(DownloadRevealer::note()->detailedText().contains("dismissed"));
  EXPECT_TRUE(relauncher.relaunched.isEmpty());

  runner.calls.clear();
  runner.answers["pkexec"] = FakeCommandRunner::exited(0);
  deliver("veltrine_1.0.0_amd64.deb", debianPackage("new"));
  answer(strings.updateInstallButton);
  ASSERT_TRUE(waitUntil([&] { return !relauncher.relaunched.isEmpty(); }));
  EXPECT_EQ(relauncher.relaunched, QStringList{"/usr/bin/veltrine"});
  ASSERT_EQ(runner.calls.size(), 2);
  EXPECT_EQ(runner.calls[0].program + ' ' + runner.calls[0].arguments.join(' '),
            "dpkg-query --search /usr/bin/veltrine");
  EXPECT_EQ(runner.calls[1].program, "pkexec");
  EXPECT_EQ(runner.calls[1].arguments, (QStringList{"/usr/bin/apt-get", "install", "-y", "-o",
                                                    "Dpkg::Options::=--force-confdef", "-o",
                                                    "Dpkg::Options::=--force-confold", saved}));
  EXPECT_EQ(runner.calls[1].timeout, UpdateInstaller::kInstallTimeout);
}

// What this copy cannot install, or cannot trust, is only shown in its folder with a note: no
// question, no privilege prompt, the running image untouched.
TEST_F(UpdateInstallerTest, ReleasesThisCopyCannotInstallAreOnlyShown) {
  const struct {
    const char* file;
    QByteArray release;
    bool fromAppImage;
    bool packageOwnsProgram;
    bool withKey;
    QString note;
  } cases[] = {
      {"V.AppImage", appImage("new"), false, true, true, strings.updateSavedText},
      {"v.deb", debianPackage("new"), true, false, true, strings.updateSavedText},
      {"V.AppImage", debianPackage("new"), true, true, true, strings.updateSavedText},  // a package as an image
      {"V.AppImage", appImage("new"), true, true, false, strings.updateUnverifiedText},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    installer.reset();
    installation.appImage = c.fromAppImage ? standIn : QString();
    runner.answers["dpkg-query"] = FakeCommandRunner::exited(c.packageOwnsProgram ? 0 : 1);
    deliver(c.file, c.release, c.withKey);
    ASSERT_TRUE(waitUntil([&] { return !noteText().isEmpty(); }));
    EXPECT_EQ(noteText(), c.note.arg(downloads + '/' + c.file));
    EXPECT_EQ(opener.opened.value(0), QUrl::fromLocalFile(downloads));
    EXPECT_EQ(installer->question(), nullptr);
    DownloadRevealer::note()->close();
    opener.opened.clear();
  }
  EXPECT_EQ(readFile(standIn), "the running image");
  for (const auto& call : runner.calls) EXPECT_EQ(call.program, "dpkg-query");
  EXPECT_TRUE(relauncher.relaunched.isEmpty());
}

// $APPIMAGE names this program's image only when the program runs from inside its mount: programs
// started from another AppImage inherit that image's variables.
TEST(UpdateInstallerInstallation, TheAppImageIsOursOnlyWhenTheProgramRunsFromItsMount) {
  const QString folder = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
  qputenv("APPIMAGE", "/home/me/Veltrine.AppImage");
  for (const QString& mount : {QString(), QStringLiteral("/tmp/.mount_Terminal"), folder}) {
    qputenv("APPDIR", mount.toUtf8());
    EXPECT_EQ(UpdateInstaller::Installation::current().appImage, mount == folder ? "/home/me/Veltrine.AppImage" : "");
  }
}

}  // namespace
