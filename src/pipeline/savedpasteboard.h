#pragma once

#include "platform/pasteboard.h"

// The clipboard's contents kept aside while the program borrows the clipboard
// (to copy a selection, or to check a paste), so they can be put back.
class SavedPasteboard {
 public:
  // Every item with every format whose data could be read.
  static SavedPasteboard save();

  // Empties the clipboard and writes the saved items back in order, one write
  // per item. Nothing saved leaves the clipboard empty.
  void restore() const;

  const QList<PasteboardItem>& items() const { return items_; }

 private:
  QList<PasteboardItem> items_;
};
