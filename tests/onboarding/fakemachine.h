#pragma once

#include "platform/machineinfo.h"

#include <optional>

// A machine whose platform UUID is what the test says (none: unreadable);
// installed for its lifetime.
class FakeMachine final : public MachineInfo {
 public:
  explicit FakeMachine(std::optional<QString> uuid) : uuid(std::move(uuid)) { MachineInfo::install(this); }
  ~FakeMachine() override { MachineInfo::install(nullptr); }

  std::optional<QString> platformUUID() override { return uuid; }
  QStringList diskSerials() override { return {}; }
  int processorCount() override { return 1; }
  quint64 physicalMemory() override { return 1; }

  std::optional<QString> uuid;
};
