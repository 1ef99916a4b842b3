#pragma once

#include "pipeline/hotkeyconfig.h"

#include <QMutex>

// The copy of the hotkey configurations that the key-event path matches
// against. The listener never touches the observable configurations, which
// views may be editing; it copies this snapshot under the lock and matches
// on the copy with the lock released.
class ConfigStore {
 public:
  void replace(const HotKeyConfigMap& configs);
  HotKeyConfigMap copy() const;

 private:
  mutable QMutex lock_;
  HotKeyConfigMap snapshot_;
};
