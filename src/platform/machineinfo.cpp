#include "platform/machineinfo.h"

#include <atomic>

namespace {

class UnknownMachine final : public MachineInfo {
 public:
  std::optional<QString> platformUUID() override { return std::nullopt; }
  QStringList diskSerials() override { return {}; }
  int processorCount() override { return 0; }
  quint64 physicalMemory() override { return 0; }
};

std::atomic<MachineInfo*> installed{nullptr};

}  // namespace

MachineInfo& MachineInfo::current() {
  static UnknownMachine unknown;
  MachineInfo* info = installed.load();
  return info ? *info : unknown;
}

void MachineInfo::install(MachineInfo* info) { installed.store(info); }
