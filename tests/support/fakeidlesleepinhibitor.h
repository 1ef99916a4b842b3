#pragma once

#include "platform/idlesleepinhibitor.h"

#include <QStringList>

// Idle sleep as a test sees it: the reasons asked with and how many holds are
// alive now. Installed for its lifetime, which must outlast the holds.
class FakeIdleSleepInhibitor final : public IdleSleepInhibitor {
 public:
  FakeIdleSleepInhibitor() { IdleSleepInhibitor::install(this); }
  ~FakeIdleSleepInhibitor() override { IdleSleepInhibitor::install(nullptr); }

  std::unique_ptr<Hold> holdOff(const QString& reason) override {
    reasons.append(reason);
    return std::make_unique<CountedHold>(heldNow);
  }

  QStringList reasons;
  int heldNow = 0;

 private:
  struct CountedHold final : Hold {
    explicit CountedHold(int& holds) : holds(holds) { ++holds; }
    ~CountedHold() override { --holds; }
    int& holds;
  };
};
