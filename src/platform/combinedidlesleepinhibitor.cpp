#include "platform/combinedidlesleepinhibitor.h"

namespace {

class CombinedHold final : public IdleSleepInhibitor::Hold {
 public:
  std::vector<std::unique_ptr<Hold>> holds;
};

}  // namespace

void CombinedIdleSleepInhibitor::add(std::unique_ptr<IdleSleepInhibitor> inhibitor) {
  inhibitors_.push_back(std::move(inhibitor));
}

std::unique_ptr<IdleSleepInhibitor::Hold> CombinedIdleSleepInhibitor::holdOff(const QString& reason) {
  auto combined = std::make_unique<CombinedHold>();
  for (const std::unique_ptr<IdleSleepInhibitor>& inhibitor : inhibitors_)
    combined->holds.push_back(inhibitor->holdOff(reason));
  return combined;
}
