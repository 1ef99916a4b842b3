#include "app/appcastupdater.h"

#include "app/appcast.h"
#include "app/revealdownloaddriver.h"
#include "app/updaterdelegate.h"
#include "core/appinfo.h"
#include "core/logging.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkReply>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>
#include <QCoroNetworkReply>

#include <memory>

namespace {

// The driver lives as long as the program's updater: one for the process.
RevealDownloadDriver& revealDriver() {
  static RevealDownloadDriver driver;
  return driver;
}

QNetworkRequest requestFor(const QUrl& url) {
  QNetworkRequest request(url);
  request.setTransferTimeout(AppcastUpdater::kTimeoutMs);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  return request;
}

// Why a finished reply did not deliver the document; empty when it did.
QString failureOf(QNetworkReply& reply) {
  if (reply.error() != QNetworkReply::NoError) return reply.errorString();
  const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status != 0 && (status < 200 || status > 299)) return QStringLiteral("HTTP status %1").arg(status);
  return {};
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
  const QPointer<QNetworkReply> reply = network_.get(requestFor(*settings_.feedURL));
  co_await qCoro(reply.data()).waitForFinished();
  if (!self || !reply) co_return;
  reply->deleteLater();
  if (const QString failure = failureOf(*reply); !failure.isEmpty()) {
    checking_ = false;
    delegate_.updaterDidAbortWithError(*this, QStringLiteral("the update feed could not be read: ") + failure);
    co_return;
  }
  const std::optional<QList<AppcastItem>> items = Appcast::parse(reply->readAll());
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
  const QNetworkRequest request = requestFor(item.fileURL);
  delegate_.updaterWillDownloadUpdate(*this, item, request);

  const QString path = pathFor(item);
  QDir().mkpath(QFileInfo(path).absolutePath());
  auto file = std::make_unique<QSaveFile>(path);
  if (!file->open(QIODevice::WriteOnly)) {
    checking_ = false;
    delegate_.updaterFailedToDownloadUpdate(*this, item, file->errorString());
    co_return;
  }
  const QPointer<QNetworkReply> reply = network_.get(request);
  // Written as it arrives, so a large file never sits in memory.
  bool writeFailed = false;
  QSaveFile* target = file.get();
  // A chunk the disk cuts short is no error to Qt, only a smaller count.
  const auto writeChunk = [target, &writeFailed](const QByteArray& chunk) {
    if (target->write(chunk) != chunk.size()) writeFailed = true;
  };
  connect(reply.data(), &QNetworkReply::readyRead, target,
          [writeChunk, source = reply.data()] { writeChunk(source->readAll()); });
  co_await qCoro(reply.data()).waitForFinished();
  if (!self || !reply) co_return;
  reply->deleteLater();
  checking_ = false;
  QString failure = failureOf(*reply);
  if (failure.isEmpty()) writeChunk(reply->readAll());
  if (failure.isEmpty() && writeFailed) failure = file->errorString();
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
