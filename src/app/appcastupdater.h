#pragma once

#include "app/updater.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

class UpdateUserDriver;
class UpdaterDelegate;
struct AppcastItem;

// The updater of the program: reads the appcast named in the app
// information, and when it lists a release newer than this one, downloads
// that release's file into the download folder and hands it to its driver
// (which offers to install it). A release whose length differs from the
// feed's, or, with an update key configured, whose signature is missing or
// wrong, is deleted and reported as a failed download: it is never offered.
// Without a configured feed every check finds nothing.
class AppcastUpdater : public QObject, public Updater {
  Q_OBJECT

 public:
  static constexpr qint64 kMaxFeedBytes = 16 * 1024 * 1024;
  static constexpr qint64 kMaxDownloadBytes = 1024 * 1024 * 1024;

  struct Settings {
    std::optional<QUrl> feedURL;
    QString currentVersion;
    QString downloadFolder;
    // A release file longer than this is not downloaded on; the feed itself
    // is read up to kMaxFeedBytes.
    qint64 maxDownloadBytes = kMaxDownloadBytes;
    // The publisher's Ed25519 key (base64); empty: none configured, releases
    // are not checked and so never installed.
    QString publicKey;
  };

  // The program's settings: AppInfo's feed, version and update key, the
  // user's download folder.
  static Settings defaultSettings();
  // The program's updater.
  static std::unique_ptr<Updater> make(UpdaterDelegate& delegate);

  AppcastUpdater(UpdaterDelegate& delegate, UpdateUserDriver& driver, Settings settings, QObject* parent = nullptr);

  // Starts a check; a check while one runs is ignored (its own end reports).
  void checkForUpdates() override;

  // Without progress for this long a read of the feed or the file fails.
  static constexpr std::chrono::milliseconds kTimeout{60'000};

 private:
  QCoro::Task<void> check();
  QCoro::Task<void> download(AppcastItem item);
  // Why the downloaded file at `path` is not the release the feed promised;
  // empty when it is (or, without a key, when nothing can tell).
  QCoro::Task<QString> refusal(AppcastItem item, QString path, qint64 size);
  QString pathFor(const AppcastItem& item) const;

  UpdaterDelegate& delegate_;
  UpdateUserDriver& driver_;
  Settings settings_;
  bool checking_ = false;
};
