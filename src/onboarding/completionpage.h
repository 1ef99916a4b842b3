#pragma once

#include <QWidget>

class KeyChip;
class NeonTitleLabel;
class QLabel;

// The last page of the flow: a large check, the closing title and text, and
// the three hotkeys as they are configured now, so the user sees what to
// press from here on. The flow's finish button ends the flow.
class CompletionPage : public QWidget {
  Q_OBJECT

 public:
  explicit CompletionPage(QWidget* parent = nullptr);

  // The combination shown for each operation, in the order transcribe,
  // rewrite, agent (for tests).
  QStringList shownHotKeys() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct HotKeyRow {
    KeyChip* chip;
    QLabel* label;
  };
  QWidget* hotKeyRow(const QColor& color, HotKeyRow& row);
  void retranslate();
  void showHotKeys();

  NeonTitleLabel* title_;
  QLabel* description_;
  HotKeyRow rows_[3];
};
