#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the hardware says about this machine, for identifying it to the
// service at invite sign-up. Every question is asked afresh at each call.
//
// The program installs the real implementation at start-up (app/); tests
// install their own. Until something is installed nothing is known: no
// platform UUID, no disk serial, no processors, no memory.
class MachineInfo {
 public:
  virtual ~MachineInfo() = default;

  // The machine's UUID as the platform reports it; nothing when none can be read.
  virtual std::optional<QString> platformUUID() = 0;

  // The serial numbers the block storage devices report, device by device in
  // a stable order, as reported (blank ones included).
  virtual QStringList diskSerials() = 0;

  // The processors the machine has (online or not); 0 when unknown.
  virtual int processorCount() = 0;

  // The machine's memory in bytes; 0 when unknown.
  virtual quint64 physicalMemory() = 0;

  static MachineInfo& current();
  // Installs `info` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(MachineInfo* info);
};
