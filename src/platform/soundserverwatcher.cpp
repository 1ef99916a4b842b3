#include "platform/soundserverwatcher.h"

#include "core/installed.h"

namespace {

class NoSoundServer final : public SoundServerWatcher {
 public:
  QString defaultSource() const override { return {}; }
};

using InstalledWatcher = Installed<SoundServerWatcher, NoSoundServer>;

}  // namespace

SoundServerWatcher& SoundServerWatcher::current() { return InstalledWatcher::current(); }

void SoundServerWatcher::install(SoundServerWatcher* watcher) { InstalledWatcher::install(watcher); }
