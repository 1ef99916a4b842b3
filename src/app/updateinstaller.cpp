#include "app/updateinstaller.h"

#include "app/appimagereplacement.h"
#include "app/downloadrevealer.h"
#include "app/releasefile.h"
#include "core/appinfo.h"
#include "core/logging.h"
#include "localization/appstrings.h"
#include "platform/commandrunner.h"
#include "platform/relauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

// What pkexec answers for itself rather than for the program it ran.
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorized = 127;

QString lastLine(const QByteArray& output) {
  const QList<QByteArray> lines = output.trimmed().split('\n');
  return QString::fromLocal8Bit(lines.isEmpty() ? QByteArray() : lines.last().trimmed());
}

}  // namespace

UpdateInstaller::Installation UpdateInstaller::Installation::current() {
  const QString executable = QCoreApplication::applicationFilePath();
  // An AppImage's runtime mounts the image at $APPDIR and names the image in
  // $APPIMAGE, and every program started from it inherits both: they describe
  // this program only when it runs from inside that mount. (A terminal that is
  // itself an AppImage would otherwise have its image replaced with ours.)
  const QString mount = qEnvironmentVariable("APPDIR");
  const bool fromAppImage = !mount.isEmpty() && executable.startsWith(QDir(mount).absolutePath() + QLatin1Char('/'));
  return {fromAppImage ? qEnvironmentVariable("APPIMAGE") : QString(), executable, AppInfo::shortVersion()};
}

UpdateInstaller::UpdateInstaller(CommandRunner& runner, Relauncher& relauncher, Installation installation,
                                 QObject* parent)
    : QObject(parent), runner_(runner), relauncher_(relauncher), installation_(std::move(installation)) {}

void UpdateInstaller::showDownloadedUpdate(const AppcastItem& item, const QString& path, bool signatureVerified) {
  if (!signatureVerified) {
    DownloadRevealer::reveal(path, DownloadRevealer::Reason::unverified);
    return;
  }
  if (installing_) {
    qCInfo(lcAppDelegate).noquote() << "an update is being installed; the release saved at" << path << "waits";
    return;
  }
  auto running = offer(item, path);
}

QCoro::Task<void> UpdateInstaller::offer(AppcastItem item, QString path) {
  QPointer<UpdateInstaller> self(this);
  const Method method = co_await methodFor(path);
  if (!self) co_return;
  if (method == Method::none) {
    qCInfo(lcAppDelegate).noquote() << "this copy of the program cannot install the release saved at" << path;
    DownloadRevealer::reveal(path, DownloadRevealer::Reason::cannotInstallHere);
    co_return;
  }
  ask(item, path, method);
}

QCoro::Task<UpdateInstaller::Method> UpdateInstaller::methodFor(QString path) {
  switch (ReleaseFile::kindOf(path)) {
    case ReleaseFile::Kind::appImage:
      co_return installation_.appImage.isEmpty() ? Method::none : Method::replaceAppImage;
    case ReleaseFile::Kind::debianPackage: {
      // Installed from a package when dpkg knows the running executable.
      const QStringList arguments = QStringList() << QStringLiteral("--search") << installation_.executable;
      const ChildProcess::Result owner = co_await runner_.run(QStringLiteral("dpkg-query"), arguments, kQueryTimeout);
      co_return owner.succeeded() ? Method::installPackage : Method::none;
    }
    case ReleaseFile::Kind::other:
      break;
  }
  co_return Method::none;
}

void UpdateInstaller::ask(const AppcastItem& item, const QString& path, Method method) {
  // A later download replaces a question still open about an earlier one.
  if (question_) question_->close();
  const AppStrings& strings = currentStrings();
  const QString text = strings.updateInstallText.arg(item.version, installation_.version);
  auto* box = new QMessageBox(QMessageBox::Question, strings.updateInstallTitle, text, QMessageBox::NoButton);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->setTextFormat(Qt::PlainText);
  QPushButton* installButton = box->addButton(strings.updateInstallButton, QMessageBox::AcceptRole);
  box->setEscapeButton(box->addButton(strings.updateLaterButton, QMessageBox::RejectRole));
  box->setDefaultButton(installButton);
  connect(box, &QMessageBox::buttonClicked, this, [this, installButton, path, method](QAbstractButton* button) {
    if (button != installButton) {
      qCInfo(lcAppDelegate).noquote() << "the update stays saved at" << path << "for later";
      return;
    }
    auto running = install(path, method);
  });
  question_ = box;
  box->show();
  box->raise();
  box->activateWindow();
}

QCoro::Task<void> UpdateInstaller::install(QString path, Method method) {
  QPointer<UpdateInstaller> self(this);
  if (installing_) co_return;
  installing_ = true;
  QString failure;
  QString program;
  if (method == Method::replaceAppImage) {
    failure = AppImageReplacement::replace(installation_.appImage, path);
    program = installation_.appImage;
  } else {
    failure = co_await installPackage(path);
    program = installation_.executable;
  }
  if (!self) co_return;
  installing_ = false;
  if (!failure.isEmpty()) {
    qCWarning(lcAppDelegate).noquote() << "the update was not installed:" << failure;
    DownloadRevealer::reveal(path, DownloadRevealer::Reason::installFailed, failure);
    co_return;
  }
  qCInfo(lcAppDelegate).noquote() << "update installed from" << path << "; relaunching" << program;
  // Installed: the download has served its purpose.
  QFile::remove(path);
  if (!relauncher_.relaunch(program)) {
    qCWarning(lcAppDelegate) << "the program could not be started again: the new version runs from its next start";
  }
}

QCoro::Task<QString> UpdateInstaller::installPackage(QString path) {
  // apt-get, not dpkg alone: it installs what a new release newly depends on,
  // and refuses before touching anything when that cannot be done. The
  // configuration files the user changed are kept without asking.
  // (A list built with <<: GCC 12 rejects braced lists of literals in a coroutine.)
  const QStringList arguments = QStringList()
                                << QStringLiteral("/usr/bin/apt-get") << QStringLiteral("install") << QStringLiteral("-y")
                                << QStringLiteral("-o") << QStringLiteral("Dpkg::Options::=--force-confdef")
                                << QStringLiteral("-o") << QStringLiteral("Dpkg::Options::=--force-confold")
                                << QFileInfo(path).absoluteFilePath();
  const ChildProcess::Result result = co_await runner_.run(QStringLiteral("pkexec"), arguments, kInstallTimeout);
  if (result.succeeded()) co_return QString();
  if (!result.started) co_return QStringLiteral("pkexec could not be started (is polkit installed?)");
  if (result.timedOut) co_return QStringLiteral("the installation did not end in time");
  if (result.crashed) co_return QStringLiteral("the installation was ended by a signal");
  if (result.exitCode == kPkexecDismissed) {
    co_return QStringLiteral("the request for the administrator's password was dismissed");
  }
  if (result.exitCode == kPkexecNotAuthorized) {
    co_return QStringLiteral("not authorised (is a polkit authentication agent running?)");
  }
  co_return QStringLiteral("apt-get ended with status %1: %2")
      .arg(result.exitCode)
      .arg(lastLine(result.standardError));
}
