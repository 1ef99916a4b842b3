#pragma once

#include "platform/soundserverwatcher.h"

// A sound server whose default source and removed sources the test names.
class FakeSoundServerWatcher final : public SoundServerWatcher {
 public:
  QString defaultSource() const override { return defaultSource_; }

  void setDefaultSource(const QString& name) {
    if (name == defaultSource_) return;
    defaultSource_ = name;
    Q_EMIT defaultSourceChanged(name);
  }
  void removeSource(const QString& name) { Q_EMIT sourceRemoved(name); }

 private:
  QString defaultSource_;
};
