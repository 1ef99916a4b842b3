#pragma once

#include "service/authmodels.h"

#include <QWidget>

class BadgeLabel;
class SymbolButton;
class TextLabel;

// One of the user's invite codes: the code (grouped for reading), whether it
// is still available, who used it, and for an available code a button that
// copies it to the clipboard. After a copy the button shows a check mark for
// two seconds after the latest copy.
class InviteCodeRow : public QWidget {
  Q_OBJECT

 public:
  explicit InviteCodeRow(const InviteCodeItem& item, QWidget* parent = nullptr);

  const InviteCodeItem& item() const { return item_; }
  bool isCopied() const { return copied_; }

  // An eight-character code reads as two groups of four ("ABCD-2345"); any
  // other code as it is.
  static QString displayCode(const QString& code);

  // Puts the code (without the hyphen) on the clipboard.
  void copyCode();
  void retranslate();

  TextLabel* codeLabel() const { return code_; }
  BadgeLabel* badge() const { return badge_; }
  TextLabel* usedByValue() const { return usedByValue_; }
  SymbolButton* copyButton() const { return copy_; }

 private:
  void setCopied(bool copied);

  InviteCodeItem item_;
  bool copied_ = false;
  quint64 latestCopy_ = 0;
  TextLabel* code_;
  BadgeLabel* badge_;
  TextLabel* usedByLabel_ = nullptr;
  TextLabel* usedByValue_ = nullptr;
  SymbolButton* copy_ = nullptr;
};
