#include "pipeline/savedpasteboard.h"

SavedPasteboard SavedPasteboard::save() {
  SavedPasteboard saved;
  for (PasteboardItem& item : Pasteboard::current().items()) {
    if (!item.formats.isEmpty()) saved.items_.append(std::move(item));
  }
  return saved;
}

void SavedPasteboard::restore() const {
  Pasteboard& pasteboard = Pasteboard::current();
  pasteboard.clearContents();
  for (const PasteboardItem& item : items_) pasteboard.writeItem(item);
}
