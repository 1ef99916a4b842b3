#pragma once

#include "platform/idlesleepinhibitor.h"

#include <QStringList>

#include <memory>

// Idle sleep as a test sees it: the reasons asked with and how many holds are
// alive now. Installed for its lifetime.
class FakeIdleSleepInhibitor final : public IdleSleepInhibitor {
 public:
  FakeIdleSleepInhibitor() { IdleSleepInhibitor::install(this); }
  ~FakeIdleSleepInhibitor() override { IdleSleepInhibitor::install(nullptr); }

  std::unique_ptr<Hold> holdOff(const QString& reason) override {
    reasons.append(reason);
    return std::make_unique<CountedHold>(holds_);
  }

  int heldNow() const { return *holds_; }

  QStringList reasons;

 private:
  class CountedHold final : public Hold {
   public:
    explicit CountedHold(std::shared_ptr<int> holds) : holds_(std::move(holds)) { ++*holds_; }
    ~CountedHold() override { --*holds_; }

   private:
    std::shared_ptr<int> holds_;
  };

  std::shared_ptr<int> holds_ = std::make_shared<int>(0);
};
