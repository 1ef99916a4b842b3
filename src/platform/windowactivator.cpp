#include "platform/windowactivator.h"

#include "core/installed.h"

namespace {

class NoWindowActivator final : public WindowActivator {
 public:
  bool activate(const WindowTarget&) override { return false; }
  bool activateHere(quint64) override { return false; }
};

using InstalledActivator = Installed<WindowActivator, NoWindowActivator>;

}  // namespace

std::optional<quint64> WindowTarget::pick(const QList<ClientWindow>& windows) const {
  if (!title.isEmpty()) {
    for (const ClientWindow& window : windows) {
      if (window.title.contains(title)) return window.id;
    }
  }
  for (const qint64 pid : processes) {
    if (pid <= 0) continue;
    std::optional<quint64> found;
    int count = 0;
    for (const ClientWindow& window : windows) {
      if (window.pid != pid) continue;
      found = window.id;
      ++count;
    }
    if (count == 0) continue;
    // Never guess among them: raising another of the user's windows is worse than none.
    return count == 1 ? found : std::nullopt;
  }
  return std::nullopt;
}

WindowActivator& WindowActivator::current() { return InstalledActivator::current(); }

void WindowActivator::install(WindowActivator* activator) { InstalledActivator::install(activator); }
