#pragma once

#include "app/updater.h"

// An updater that only counts the checks it is asked for; the test plays the
// updater's part by calling the delegate itself.
class FakeUpdater final : public Updater {
 public:
  void checkForUpdates() override { ++checks; }

  int checks = 0;
};
