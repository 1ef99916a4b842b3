#include "platform/pointerbuttons.h"

#include "core/installed.h"

#include <QGuiApplication>

namespace {

class OwnWindowsPointerButtons final : public PointerButtons {
 public:
  bool anyHeld() override { return QGuiApplication::mouseButtons() != Qt::NoButton; }
};

using InstalledButtons = Installed<PointerButtons, OwnWindowsPointerButtons>;

}  // namespace

PointerButtons& PointerButtons::current() { return InstalledButtons::current(); }

void PointerButtons::install(PointerButtons* buttons) { InstalledButtons::install(buttons); }
