#pragma once

#include "app/appcast.h"

#include <QNetworkRequest>
#include <QString>

class Updater;

// What an updater tells its owner about a check, in the order it happens:
// nothing found, or a download about to start and then either finished or
// failed; a check that could not be completed (the feed could not be read, the
// user declined the update) is an abort. Called on the main thread.
class UpdaterDelegate {
 public:
  virtual ~UpdaterDelegate() = default;

  virtual void updaterDidNotFindUpdate(Updater& updater) = 0;
  virtual void updaterWillDownloadUpdate(Updater& updater, const AppcastItem& item, const QNetworkRequest& request) = 0;
  virtual void updaterDidDownloadUpdate(Updater& updater, const AppcastItem& item) = 0;
  virtual void updaterDidAbortWithError(Updater& updater, const QString& error) = 0;
  virtual void updaterFailedToDownloadUpdate(Updater& updater, const AppcastItem& item, const QString& error) = 0;
};
