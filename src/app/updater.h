#pragma once

#include <functional>
#include <memory>

class UpdaterDelegate;

// Looks for a newer release of the program and fetches it. Each check ends in
// exactly one of the delegate's outcomes (see UpdaterDelegate); the updater
// does nothing on its own between checks.
class Updater {
 public:
  // Makes the updater the program uses, reporting to `delegate` (which must
  // outlive it).
  using Factory = std::function<std::unique_ptr<Updater>(UpdaterDelegate& delegate)>;

  virtual ~Updater() = default;

  virtual void checkForUpdates() = 0;
};
