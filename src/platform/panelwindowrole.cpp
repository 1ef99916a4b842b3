#include "platform/panelwindowrole.h"

#include "core/installed.h"

namespace {

class FlagsOnly final : public PanelWindowRole {
 public:
  void markAsPanel(QWindow&) override {}
};

using InstalledRole = Installed<PanelWindowRole, FlagsOnly>;

}  // namespace

PanelWindowRole& PanelWindowRole::current() { return InstalledRole::current(); }

void PanelWindowRole::install(PanelWindowRole* role) { InstalledRole::install(role); }
