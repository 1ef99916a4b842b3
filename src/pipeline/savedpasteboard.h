#pragma once

#include "platform/pasteboard.h"

// The clipboard's contents kept aside while the program borrows the clipboard
// (to copy a selection, or to check a paste), so they can be put back. The
// same for the PRIMARY selection, lent to a paste into a terminal.
class SavedPasteboard {
 public:
  // Which one: Pasteboard::current or Pasteboard::primarySelection, looked up
  // again when putting back.
  using Which = Pasteboard& (*)();

  // Every item with every format whose data could be read.
  static SavedPasteboard save(Which which = &Pasteboard::current);

  // Empties the clipboard and writes the saved items back in order, one write
  // per item. Nothing saved leaves the clipboard empty.
  void restore() const;

  const QList<PasteboardItem>& items() const { return items_; }

 private:
  Which which_ = &Pasteboard::current;
  QList<PasteboardItem> items_;
};
