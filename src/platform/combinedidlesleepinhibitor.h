#pragma once

#include "platform/idlesleepinhibitor.h"

#include <vector>

// Holds idle sleep off through every inhibitor added, for desktops where
// each power manager follows its own kind of inhibitor: a hold holds one of
// each, and letting it go lets them all go.
class CombinedIdleSleepInhibitor final : public IdleSleepInhibitor {
 public:
  void add(std::unique_ptr<IdleSleepInhibitor> inhibitor);

  std::unique_ptr<Hold> holdOff(const QString& reason) override;

 private:
  std::vector<std::unique_ptr<IdleSleepInhibitor>> inhibitors_;
};
