#pragma once

#include "app/appcast.h"

#include <QString>

// The part of updating the user sees. The updater fetches a newer release on
// its own; the driver hands the fetched file to the user.
class UpdateUserDriver {
 public:
  virtual ~UpdateUserDriver() = default;

  // The release was saved at `path`: show it to the user, who installs it.
  virtual void showDownloadedUpdate(const AppcastItem& item, const QString& path) = 0;
};
