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
#include <QLabel>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// The first bytes that make a file an AppImage or a Debian package, then `rest`.
QByteArray appImage(const QByteArray& rest) { return QByteArray("\x7f" "ELF\x02\x01\x01\x00" "AI\x02\x00\x00", 13) + rest; }
QByteArray debianPackage(const QByteArray& rest) { return "!<arch>\ndebian-binary   " + rest; }

// Notes when the check has ended, however it ended.
class CheckEnd final : public UpdaterDelegate {
 public:
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
    QDir().mkpath(applications());
    writeFile(standIn(), "the running image");
    ::chmod(QFile::encodeName(standIn()).constData(), 0751);
  }

  // Publishes `release` as version 1.0.0 named `name`, and returns once the program has found it,
  // downloaded it and handed it to the installer.
  void deliver(const QByteArray& name, const QByteArray& release, bool signedWithTheKey = true) {
    service.route("GET", "/appcast.xml",
                  ScriptedResponse::text(200, R"(<rss xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel>)"
                                              "<item><sparkle:version>1.0.0</sparkle:version><enclosure url=\"" +
                                              service.origin().toString().toUtf8() + "/" + name + "\" length=\"" +
                                              QByteArray::number(release.size()) + "\" sparkle:edSignature=\"" +
                                              key.sign(release) + "\"/></item></channel></rss>"));
    service.route("GET", "/" + name, ScriptedResponse::text(200, release, "application/octet-stream"));
    if (!installer) installer = std::make_unique<UpdateInstaller>(runner, relauncher, installation);
    AppcastUpdater::Settings settings{.feedURL = QUrl(service.origin().toString() + QStringLiteral("/appcast.xml")),
                                      .currentVersion = QStringLiteral("0.2.0"),
                                      .downloadFolder = downloads(),
                                      .publicKey = signedWithTheKey ? key.publicKey() : QString()};
    CheckEnd end;
    AppcastUpdater updater(end, *installer, settings);
    updater.checkForUpdates();
    ASSERT_TRUE(waitUntil([&] { return end.ended; }));
  }
  // Waits for the question and answers it with the button that reads `text`.
  void answer(const QString& text) {
    ASSERT_TRUE(waitUntil([&] { return installer->question() && installer->question()->isVisible(); }));
    for (QAbstractButton* button : installer->question()->buttons()) {
      if (button->text() == text) return button->click();
    }
    FAIL() << "no button " << text.toStdString();
  }
  static QString noteText() {
    QString text;
    if (QMessageBox* note = DownloadRevealer::note(); note && note->isVisible()) text = note->text();
    return text;
  }

  static void writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
  }
  static QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
  }
  static QString downloads() { return TestEnvironment::root() + QStringLiteral("/Downloads"); }
  static QString applications() { return TestEnvironment::root() + QStringLiteral("/Applications"); }
  static QString standIn() { return applications() + QStringLiteral("/Veltrine.AppImage"); }
  static QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

  const AppStrings& strings = currentStrings();
  const TestSigningKey key;
  FakeService service;
  FakeCommandRunner runner;
  FakeRelauncher relauncher;
  FakeUrlOpener opener;
  UpdateInstaller::Installation installation{standIn(), QStringLiteral("/usr/bin/veltrine"), QStringLiteral("0.2.0")};
  std::unique_ptr<UpdateInstaller> installer;
};

// "Later" changes nothing; "Install and Relaunch" puts the new image in place of the running one,
// with its mode, and starts it.
TEST_F(UpdateInstallerTest, AnAppImageReplacesTheRunningImageWhenTheUserSaysSo) {
  const QByteArray release = appImage("the new image");
  deliver("Veltrine-1.0.0-x86_64.AppImage", release);
  answer(strings.updateLaterButton);
  const QString question = strings.updateInstallText.arg(QStringLiteral("1.0.0"), QStringLiteral("0.2.0"));
  EXPECT_EQ(readFile(standIn()), "the running image");

  deliver("Veltrine-1.0.0-x86_64.AppImage", release);
  EXPECT_EQ(installer->question()->text(), question);
  answer(strings.updateInstallButton);
  ASSERT_TRUE(waitUntil([&] { return !relauncher.relaunched.isEmpty(); }));
  EXPECT_EQ(relauncher.relaunched, QStringList{standIn()});
  EXPECT_EQ(readFile(standIn()), release);
  EXPECT_EQ(fileMode(standIn()), 0751);
  EXPECT_EQ(filesIn(applications()), QStringList{"Veltrine.AppImage"});
  EXPECT_TRUE(filesIn(downloads()).isEmpty());  // installed: the download is gone
  EXPECT_TRUE(runner.calls.isEmpty());
}

TEST_F(UpdateInstallerTest, AFailedReplacementLeavesTheRunningImageAsItWas) {
  deliver("Veltrine-1.0.0-x86_64.AppImage", appImage(QByteArray(256 * 1024, 'n')));
  {
    const FileSizeLimit diskFull(64 * 1024);
    answer(strings.updateInstallButton);
  }
  ASSERT_TRUE(waitUntil([&] { return !noteText().isEmpty(); }));
  const QString saved = downloads() + QStringLiteral("/Veltrine-1.0.0-x86_64.AppImage");
  EXPECT_EQ(noteText(), strings.updateInstallFailedText.arg(saved));
  EXPECT_EQ(readFile(standIn()), "the running image");
  EXPECT_EQ(fileMode(standIn()), 0751);
  EXPECT_EQ(filesIn(applications()), QStringList{"Veltrine.AppImage"});
  EXPECT_TRUE(QFile::exists(saved));
  EXPECT_TRUE(relauncher.relaunched.isEmpty());
}

// Installed from a package, the program installs a package release through pkexec and apt-get, and
// starts again only when that succeeded.
TEST_F(UpdateInstallerTest, APackageIsInstalledBehindThePrivilegePrompt) {
  installation.appImage.clear();
  runner.answers[QStringLiteral("dpkg-query")] = FakeCommandRunner::exited(0);
  runner.answers[QStringLiteral("pkexec")] = FakeCommandRunner::exited(0);
  const QString saved = downloads() + QStringLiteral("/veltrine_1.0.0_amd64.deb");
  deliver("veltrine_1.0.0_amd64.deb", debianPackage("new"));
  answer(strings.updateInstallButton);
  ASSERT_TRUE(waitUntil([&] { return !relauncher.relaunched.isEmpty(); }));
  EXPECT_EQ(relauncher.relaunched, QStringList{"/usr/bin/veltrine"});
  ASSERT_EQ(runner.calls.size(), 2);
  EXPECT_EQ(runner.calls[0].program, "dpkg-query");
  EXPECT_EQ(runner.calls[0].arguments, (QStringList{"--search", "/usr/bin/veltrine"}));
  EXPECT_EQ(runner.calls[1].program, "pkexec");
  EXPECT_EQ(runner.calls[1].arguments,
            (QStringList{"/usr/bin/apt-get", "install", "-y", "-o", "Dpkg::Options::=--force-confdef", "-o",
                         "Dpkg::Options::=--force-confold", saved}));
  EXPECT_EQ(runner.calls[1].timeout, UpdateInstaller::kInstallTimeout);
  EXPECT_FALSE(QFile::exists(saved));

  // The user dismisses the password prompt: nothing starts again, the release stays saved.
  runner.answers[QStringLiteral("pkexec")] = FakeCommandRunner::exited(126);
  deliver("veltrine_1.0.0_amd64.deb", debianPackage("new"));
  answer(strings.updateInstallButton);
  ASSERT_TRUE(waitUntil([&] { return !noteText().isEmpty(); }));
  EXPECT_EQ(noteText(), strings.updateInstallFailedText.arg(saved));
  EXPECT_TRUE(DownloadRevealer::note()->detailedText().contains("dismissed"));
  EXPECT_TRUE(QFile::exists(saved));
  EXPECT_EQ(relauncher.relaunched.size(), 1);
}

// What this copy cannot install, or cannot trust, is shown in its folder with a note and never
// offered: no question, no privilege prompt, the running image untouched.
TEST_F(UpdateInstallerTest, ReleasesThisCopyCannotInstallAreOnlyShown) {
  const struct {
    const char* name;
    QByteArray file;
    QByteArray release;
    bool fromAppImage;
    bool packageOwnsProgram;
    bool signedWithTheKey;
    QString note;
  } cases[] = {
      {"an AppImage, not run from one", "V.AppImage", appImage("new"), false, true, true, strings.updateSavedText},
      {"a package, not installed from one", "v.deb", debianPackage("new"), false, false, true, strings.updateSavedText},
      {"a package named as an AppImage", "V.AppImage", debianPackage("new"), true, true, true, strings.updateSavedText},
      {"an AppImage named as a package", "v.deb", appImage("new"), true, true, true, strings.updateSavedText},
      {"no update key configured", "V.AppImage", appImage("new"), true, true, false, strings.updateUnverifiedText},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    installer.reset();
    installation.appImage = c.fromAppImage ? standIn() : QString();
    runner.answers[QStringLiteral("dpkg-query")] = FakeCommandRunner::exited(c.packageOwnsProgram ? 0 : 1);
    deliver(c.file, c.release, c.signedWithTheKey);
    const QString saved = downloads() + QLatin1Char('/') + QString::fromLatin1(c.file);
    ASSERT_TRUE(waitUntil([&] { return !noteText().isEmpty(); }));
    EXPECT_EQ(noteText(), c.note.arg(saved));
    EXPECT_EQ(opener.opened.value(0), QUrl::fromLocalFile(downloads()));
    EXPECT_EQ(installer->question(), nullptr);
    DownloadRevealer::note()->close();
    opener.opened.clear();
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_EQ(readFile(standIn()), "the running image");
  }
  for (const auto& call : runner.calls) EXPECT_EQ(call.program, "dpkg-query");
  EXPECT_TRUE(relauncher.relaunched.isEmpty());
}

// $APPIMAGE names this program's image only when the program runs from inside its mount; programs
// started from another AppImage inherit that image's variables.
TEST(UpdateInstallerInstallation, TheAppImageIsOursOnlyWhenTheProgramRunsFromItsMount) {
  const QString executable = QCoreApplication::applicationFilePath();
  qputenv("APPIMAGE", "/home/me/Apps/Veltrine.AppImage");
  for (const QString& mount : {QString(), QStringLiteral("/tmp/.mount_Terminal"), QFileInfo(executable).absolutePath()}) {
    qputenv("APPDIR", mount.toUtf8());
    const bool ours = mount == QFileInfo(executable).absolutePath();
    EXPECT_EQ(UpdateInstaller::Installation::current().appImage, ours ? "/home/me/Apps/Veltrine.AppImage" : "")
        << mount.toStdString();
  }
  EXPECT_EQ(UpdateInstaller::Installation::current().executable, executable);
}

}  // namespace
