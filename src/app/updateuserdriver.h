#pragma once

#include "app/appcast.h"

#include <QString>

// The part of updating the user sees. The updater fetches a newer release on
// its own; the driver takes it from there: it offers to install it, or shows
// the file to the user.
class UpdateUserDriver {
 public:
  virtual ~UpdateUserDriver() = default;

  // The release was saved at `path`. `signatureVerified`: it carries the
  // publisher's signature; false when no update key is configured and nothing
  // could be checked (a release whose check failed never gets here).
  virtual void showDownloadedUpdate(const AppcastItem& item, const QString& path, bool signatureVerified) = 0;
};
