#include "platform/inputmethod.h"

#include "core/installed.h"

namespace {

class NoInputMethod final : public InputMethod {
 public:
  bool commitComposition() override { return false; }
};

using InstalledMethod = Installed<InputMethod, NoInputMethod>;

}  // namespace

InputMethod& InputMethod::current() { return InstalledMethod::current(); }

void InputMethod::install(InputMethod* method) { InstalledMethod::install(method); }
