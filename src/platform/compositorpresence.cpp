#include "platform/compositorpresence.h"

#include "core/installed.h"

namespace {

class AlwaysCompositing final : public CompositorPresence {
 public:
  bool isCompositing() override { return true; }
};

using InstalledPresence = Installed<CompositorPresence, AlwaysCompositing>;

}  // namespace

CompositorPresence& CompositorPresence::current() { return InstalledPresence::current(); }

void CompositorPresence::install(CompositorPresence* presence) { InstalledPresence::install(presence); }
