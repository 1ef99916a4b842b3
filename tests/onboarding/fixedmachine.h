#pragma once

#include "platform/machineinfo.h"

// A machine that always tells the same story, installed for as long as it lives.
class FixedMachine final : public MachineInfo {
 public:
  FixedMachine() { MachineInfo::install(this); }
  ~FixedMachine() override { MachineInfo::install(nullptr); }

  std::optional<QString> platformUUID() override { return QStringLiteral("4C4C4544-0042-3510-8051-B4C04F4E3732"); }
  QStringList diskSerials() override { return {QStringLiteral("  S4EVNX0R123456  ")}; }
  int processorCount() override { return 8; }
  quint64 physicalMemory() override { return 17179869184ULL; }
};
