#include "app/appcastupdater.h"

#include "app/appcast.h"
#include "app/revealdownloaddriver.h"
#include "app/updaterdelegate.h"
#include "core/appinfo.h"
#include "core/clock.h"
#include "core/httpclient.h"
#include "core/logging.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkRequest>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>

#include <memory>

namespace {

// The driver lives as long as the program's updater: one for the process.
RevealDownloadDriver& revealDriver() {
  static RevealDownloadDriver driver;
  return driver;
}

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

}  // namespace

AppcastUpdater::Settings AppcastUpdater::defaultSettings() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  if (folder.isEmpty()) folder = QDir::homePath();
  return Settings{AppInfo::appcastURL(), AppInfo::shortVersion(), folder};
}

std::unique_ptr<Updater> AppcastUpdater::make(UpdaterDelegate& delegate) {
  return std::make_unique<AppcastUpdater>(delegate, revealDriver(), defaultSettings());
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
  QDir().mkpath(QFileInfo(path).absolutePath());
  auto file = std::make_unique<QSaveFile>(path);
  if (!file->open(QIODevice::WriteOnly)) {
    checking_ = false;
    delegate_.updaterFailedToDownloadUpdate(*this, item, file->errorString());
    co_return;
  }
  QString failure;
  try {
    const DeleteLaterPtr<HttpConnection> connection =
        co_await HttpClient::open(requestFor(item.fileURL, settings_.maxDownloadBytes),
                                  HttpClient::Redirects::anyOriginNoDowngrade);
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
  checking_ = false;
  if (failure.isEmpty() && !file->commit()) failure = file->errorString();
  if (!failure.isEmpty()) {
    file->cancelWriting();
    delegate_.updaterFailedToDownloadUpdate(*this, item, failure);
    co_return;
  }
  delegate_.updaterDidDownloadUpdate(*this, item);
  driver_.showDownloadedUpdate(item, path);
}

QString AppcastUpdater::pathFor(const AppcastItem& item) const {
  QString name = safeFileName(QFileInfo(item.fileURL.path()).fileName());
  if (name.isEmpty()) name = safeFileName(QStringLiteral("Veltrine-") + item.version);
  return settings_.downloadFolder + QLatin1Char('/') + name;
}
