#pragma once

#include "service/hotwordmodels.h"

#include "theme/neoncard.h"

class PlainButton;
class TextLabel;

// One hotword in the dictionary's list: a card with the word, an edit button
// and a delete button, each of which only reports the press.
class HotWordRow : public NeonCard {
  Q_OBJECT

 public:
  explicit HotWordRow(const HotWordItem& item, QWidget* parent = nullptr);

  const HotWordItem& item() const { return item_; }
  PlainButton* editButton() const { return edit_; }
  PlainButton* deleteButton() const { return delete_; }

  // Reads its texts again in the current interface language.
  void retranslate();

 Q_SIGNALS:
  void editRequested();
  void deleteRequested();

 private:
  HotWordItem item_;
  TextLabel* word_;
  PlainButton* edit_;
  PlainButton* delete_;
};
