#include "platform/terminaldriver.h"

#include "core/installed.h"

namespace {

class NoTerminal final : public TerminalDriver {
 public:
  QCoro::Task<std::optional<QString>> openWindow(QString) override { co_return std::nullopt; }
  QCoro::Task<bool> runInWindow(QString, QString) override { co_return false; }
  QCoro::Task<bool> activateWindow(QString) override { co_return false; }
};

using InstalledDriver = Installed<TerminalDriver, NoTerminal>;

}  // namespace

TerminalDriver& TerminalDriver::current() { return InstalledDriver::current(); }

void TerminalDriver::install(TerminalDriver* driver) { InstalledDriver::install(driver); }
