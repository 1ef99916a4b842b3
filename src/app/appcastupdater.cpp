#include "app/appcastupdater.h"

#include "app/appcast.h"
#include "app/updateinstaller.h"
#include "app/updaterdelegate.h"
#include "app/updatesignature.h"
#include "core/appinfo.h"
#include "core/clock.h"
#include "core/httpclient.h"
#include "core/logging.h"
#include "platform/linux/childprocessrunner.h"
#include "platform/linux/waitingrelauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkRequest>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

HttpConnection::Request requestFor(const QUrl& url, qint64 bodyLimit) {
  HttpConnection::Request request;
  request.url = url;
  request.idleTimeout = Clock::scaled(AppcastUpdater::kTimeout);
  request.bodyLimit = bodyLimit;
  return request;
}

QString statusFailure(int status) {
  if (status >= 200 && status <= 299) return {};
  return QStringLiteral("HTTP status %1").arg(status);
}

// A file name taken from the address may not climb out of the folder.
QString safeFileName(const QString& name) {
  QString cleaned = name;
  cleaned.replace(QLatin1Char('/'), QLatin1Char('_'));
  cleaned.replace(QLatin1Char('\\'), QLatin1Char('_'));
  while (cleaned.startsWith(QLatin1Char('.'))) cleaned.remove(0, 1);
  return cleaned;
}

// Gives a checked download its name in the folder (replacing an older file
// of that name), readable like any other download.
QString keepAs(QTemporaryFile& file, const QString& path) {
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                      QFileDevice::ReadOther);
  if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
    return QString::fromLocal8Bit(std::strerror(errno));
  }
  file.setAutoRemove(false);
  return {};
}

}  // namespace

AppcastUpdater::Settings AppcastUpdater::defaultSettings() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  if (folder.isEmpty()) folder = QDir::homePath();
  return Settings{.feedURL = AppInfo::appcastURL(),
                  .currentVersion = AppInfo::shortVersion(),
                  .downloadFolder = folder,
                  .publicKey = AppInfo::updatePublicKey()};
}

std::unique_ptr<Updater> AppcastUpdater::make(UpdaterDelegate& delegate) {
  static ChildProcessRunner runner;
  static WaitingRelauncher relauncher;
  auto* installer = new UpdateInstaller(runner, relauncher, UpdateInstaller::Installation::current());
  auto updater = std::make_unique<AppcastUpdater>(delegate, *installer, defaultSettings());
  // The installer takes the updater's downloads for as long as it lives.
  installer->setParent(updater.get());
  return updater;
}

AppcastUpdater::AppcastUpdater(UpdaterDelegate& delegate, UpdateUserDriver& driver, Settings settings,
                               QObject* parent)
    : QObject(parent), delegate_(delegate), driver_(driver), settings_(std::move(settings)) {}

void AppcastUpdater::checkForUpdates() {
  if (checking_) return;
  checking_ = true;
  if (!settings_.feedURL) {
    // Reported on a later turn, as the end of a real check would be.
    QMetaObject::invokeMethod(
        this,
        [this] {
          checking_ = false;
          delegate_.updaterDidNotFindUpdate(*this);
        },
        Qt::QueuedConnection);
    return;
  }
  auto running = check();
}

QCoro::Task<void> AppcastUpdater::check() {
  QPointer<AppcastUpdater> self(this);
  // Feeds and release files are public: they may move to another host (a
  // download service), never from https to plain http.
  QString failure;
  HttpClient::Answer answer;
  try {
    answer = co_await HttpClient::fetch(requestFor(*settings_.feedURL, kMaxFeedBytes),
                                        HttpClient::Redirects::anyOriginNoDowngrade);
    failure = answer.bodyTooLarge ? QStringLiteral("the feed is longer than %1 bytes").arg(kMaxFeedBytes)
                                  : statusFailure(answer.status);
  } catch (const HttpFailure& error) {
    failure = error.detail();
  }
  if (!self) co_return;
  if (!failure.isEmpty()) {
    checking_ = false;
    delegate_.updaterDidAbortWithError(*this, QStringLiteral("the update feed could not be read: ") + failure);
    co_return;
  }
  const std::optional<QList<AppcastItem>> items = Appcast::parse(answer.body);
  if (!items) {
    checking_ = false;
    delegate_.updaterDidAbortWithError(*this, QStringLiteral("the update feed is not an appcast"));
    co_return;
  }
  const std::optional<AppcastItem> newer = Appcast::newestNewerThan(*items, settings_.currentVersion);
  if (!newer) {
    checking_ = false;
    delegate_.updaterDidNotFindUpdate(*this);
    co_return;
  }
  if (!AppInfo::isAcceptableDownloadURL(newer->fileURL)) {
    checking_ = false;
    delegate_.updaterDidAbortWithError(*this, QStringLiteral("the update's address is not acceptable: ") +
                                                  newer->fileURL.toString());
    co_return;
  }
  co_await download(*newer);
}

QCoro::Task<void> AppcastUpdater::download(AppcastItem item) {
  QPointer<AppcastUpdater> self(this);
  delegate_.updaterWillDownloadUpdate(*this, item, QNetworkRequest(item.fileURL));

  const QString path = pathFor(item);
  const QFileInfo target(path);
  QDir().mkpath(target.absolutePath());
  // The file takes its name only once it is known to be the release the feed
  // promised; until then it is a hidden part file, removed on any failure.
  auto file = std::make_unique<QTemporaryFile>(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                                               QStringLiteral(".XXXXXX.part"));
  if (!file->open()) {
    checking_ = false;
    delegate_.updaterFailedToDownloadUpdate(*this, item, file->errorString());
    co_return;
  }
  // A body longer than the feed announced is cut off as soon as it shows.
  const qint64 limit = item.contentLength > 0 ? std::min(item.contentLength, settings_.maxDownloadBytes)
                                              : settings_.maxDownloadBytes;
  QString failure;
  try {
    const DeleteLaterPtr<HttpConnection> connection = co_await HttpClient::open(
        requestFor(item.fileURL, limit), HttpClient::Redirects::anyOriginNoDowngrade);
    failure = statusFailure(connection->status());
    // Written as it arrives, so a large file never sits in memory.
    while (failure.isEmpty()) {
      const QByteArray chunk = connection->takeBody();
      // A chunk the disk cuts short is no error to Qt, only a smaller count.
      if (file->write(chunk) != chunk.size()) failure = file->errorString();
      if (!failure.isEmpty() || connection->isFinished()) break;
      auto news = connection->news();  // a local: GCC 12 mishandles temporaries inside co_await
      co_await news;
      if (!self) co_return;
    }
    if (failure.isEmpty() && connection->failure()) failure = connection->failure()->detail();
  } catch (const HttpFailure& error) {
    failure = error.detail();
  }
  if (!self) co_return;
  if (failure.isEmpty() && !file->flush()) failure = file->errorString();
  if (failure.isEmpty()) {
    failure = co_await refusal(item, file->fileName(), file->size());
    if (!self) co_return;
    if (!failure.isEmpty()) qCWarning(lcAppDelegate).noquote() << "update refused:" << failure;
  }
  if (failure.isEmpty()) failure = keepAs(*file, path);
  checking_ = false;
  if (!failure.isEmpty()) {
    delegate_.updaterFailedToDownloadUpdate(*this, item, failure);
    co_return;
  }
  delegate_.updaterDidDownloadUpdate(*this, item);
  driver_.showDownloadedUpdate(item, path, !settings_.publicKey.isEmpty());
}

QCoro::Task<QString> AppcastUpdater::refusal(AppcastItem item, QString path, qint64 size) {
  if (item.contentLength > 0 && size != item.contentLength) {
    co_return QStringLiteral("the file has %1 bytes where the feed announced %2").arg(size).arg(item.contentLength);
  }
  if (settings_.publicKey.isEmpty()) {
    qCWarning(lcAppDelegate) << "no update public key is configured: the release's signature is not checked, "
                                "and the release is not installed";
    co_return QString();
  }
  co_return co_await UpdateSignature::verifyAside(path, item.edSignature, settings_.publicKey);
}

QString AppcastUpdater::pathFor(const AppcastItem& item) const {
  QString name = safeFileName(QFileInfo(item.fileURL.path()).fileName());
  if (name.isEmpty()) name = safeFileName(QStringLiteral("Veltrine-") + item.version);
  return settings_.downloadFolder + QLatin1Char('/') + name;
}
