#include "platform/machineinfo.h"

#include "core/installed.h"

namespace {

class UnknownMachine final : public MachineInfo {
 public:
  std::optional<QString> platformUUID() override { return std::nullopt; }
  QStringList diskSerials() override { return {}; }
  int processorCount() override { return 0; }
  quint64 physicalMemory() override { return 0; }
};

using InstalledMachine = Installed<MachineInfo, UnknownMachine>;

}  // namespace

MachineInfo& MachineInfo::current() { return InstalledMachine::current(); }

void MachineInfo::install(MachineInfo* info) { InstalledMachine::install(info); }
