#pragma once

#include "platform/machineinfo.h"

#include <QString>

// The machine as Linux describes it in its system files, all read below one
// root folder ("/" on a real system; tests lay out a folder like it):
//  - platform UUID: the firmware's sys/class/dmi/id/product_uuid when readable
//    (it is readable by root only on most systems) and not a placeholder of
//    all zeros or all ones, else etc/machine-id written as an upper-case
//    8-4-4-4-12 UUID;
//  - disk serials: for each disk of sys/block in name order, the serial its
//    driver reports in sysfs (device/serial, serial), then the one the udev
//    database holds (run/udev/data/b<major>:<minor>, ID_SERIAL_SHORT);
//  - processors: the cpu<N> entries of sys/devices/system/cpu;
//  - memory: MemTotal of proc/meminfo.
// The line end that ends every such file is not part of the value.
class SysfsMachineInfo final : public MachineInfo {
 public:
  explicit SysfsMachineInfo(QString root = QStringLiteral("/"));

  std::optional<QString> platformUUID() override;
  QStringList diskSerials() override;
  int processorCount() override;
  quint64 physicalMemory() override;

 private:
  // The file's text without its final line end; nothing when unreadable.
  std::optional<QString> read(const QString& relativePath) const;
  QString path(const QString& relativePath) const;

  QString root_;
};
