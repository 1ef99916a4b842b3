#include "platform/trayappearance.h"

#include "core/installed.h"

namespace {

class UnknownTray final : public TrayAppearance {
 public:
  QColor textColor() override { return {}; }
  QColor background() override { return {}; }
  void refresh() override {}
};

using InstalledAppearance = Installed<TrayAppearance, UnknownTray>;

}  // namespace

TrayAppearance& TrayAppearance::current() { return InstalledAppearance::current(); }

void TrayAppearance::install(TrayAppearance* appearance) { InstalledAppearance::install(appearance); }
