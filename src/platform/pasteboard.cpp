#include "platform/pasteboard.h"

#include "core/installed.h"

namespace {

// Empty and deaf. One type per slot, since each slot is kept by its types.
template <int Slot>
class NoPasteboard final : public Pasteboard {
 public:
  qint64 changeCount() override { return 0; }
  QList<PasteboardItem> items() override { return {}; }
  int itemCount() override { return 0; }
  std::optional<QString> plainText(int) override { return std::nullopt; }
  void clearContents() override {}
  void writeItem(const PasteboardItem&) override {}
  void setString(const QString&) override {}
  bool isOwnedBy(const RunningApplication&) override { return false; }
  qint64 timesRead() override { return 0; }
};

using InstalledPasteboard = Installed<Pasteboard, NoPasteboard<0>>;
using InstalledPrimarySelection = Installed<Pasteboard, NoPasteboard<1>>;

}  // namespace

Pasteboard& Pasteboard::current() { return InstalledPasteboard::current(); }

void Pasteboard::install(Pasteboard* pasteboard) { InstalledPasteboard::install(pasteboard); }

Pasteboard& Pasteboard::primarySelection() { return InstalledPrimarySelection::current(); }

void Pasteboard::installPrimarySelection(Pasteboard* selection) { InstalledPrimarySelection::install(selection); }
