#include "platform/idlesleepinhibitor.h"

#include "core/installed.h"

namespace {

class NoInhibitor final : public IdleSleepInhibitor {
 public:
  std::unique_ptr<Hold> holdOff(const QString&) override { return std::make_unique<Hold>(); }
};

using InstalledInhibitor = Installed<IdleSleepInhibitor, NoInhibitor>;

}  // namespace

IdleSleepInhibitor& IdleSleepInhibitor::current() { return InstalledInhibitor::current(); }

void IdleSleepInhibitor::install(IdleSleepInhibitor* inhibitor) { InstalledInhibitor::install(inhibitor); }
