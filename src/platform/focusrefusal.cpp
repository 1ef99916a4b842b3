#include "platform/focusrefusal.h"

#include "core/installed.h"

namespace {

class FlagsOnly final : public FocusRefusal {
 public:
  void refuseFocus(QWindow&) override {}
};

using InstalledRefusal = Installed<FocusRefusal, FlagsOnly>;

}  // namespace

FocusRefusal& FocusRefusal::current() { return InstalledRefusal::current(); }

void FocusRefusal::install(FocusRefusal* refusal) { InstalledRefusal::install(refusal); }
