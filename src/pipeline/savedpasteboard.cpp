#include "pipeline/savedpasteboard.h"

SavedPasteboard SavedPasteboard::save(Which which) {
  SavedPasteboard saved;
  saved.which_ = which;
  for (PasteboardItem& item : which().items()) {
    if (!item.formats.isEmpty()) saved.items_.append(std::move(item));
  }
  return saved;
}

void SavedPasteboard::restore() const {
  Pasteboard& pasteboard = which_();
  pasteboard.clearContents();
  for (const PasteboardItem& item : items_) pasteboard.writeItem(item);
}
