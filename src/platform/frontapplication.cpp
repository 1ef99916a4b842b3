#include "platform/frontapplication.h"

#include "core/installed.h"

namespace {

class NoFrontApplication final : public FrontApplication {
 public:
  std::optional<RunningApplication> frontmost() override { return std::nullopt; }
};

using InstalledFrontApplication = Installed<FrontApplication, NoFrontApplication>;

}  // namespace

FrontApplication& FrontApplication::current() { return InstalledFrontApplication::current(); }

void FrontApplication::install(FrontApplication* front) { InstalledFrontApplication::install(front); }
