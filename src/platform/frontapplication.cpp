#include "platform/frontapplication.h"

#include <atomic>

namespace {

class NoFrontApplication final : public FrontApplication {
 public:
  std::optional<RunningApplication> frontmost() override { return std::nullopt; }
};

std::atomic<FrontApplication*> installed{nullptr};

}  // namespace

FrontApplication& FrontApplication::current() {
  static NoFrontApplication none;
  FrontApplication* front = installed.load();
  return front ? *front : none;
}

void FrontApplication::install(FrontApplication* front) { installed.store(front); }
