#include "pipeline/configstore.h"

#include <QMutexLocker>

void ConfigStore::replace(const HotKeyConfigMap& configs) {
  QMutexLocker locker(&lock_);
  snapshot_ = configs;
}

HotKeyConfigMap ConfigStore::copy() const {
  QMutexLocker locker(&lock_);
  return snapshot_;
}
