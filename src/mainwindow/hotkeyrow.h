#pragma once

#include "pipeline/hotkeycombo.h"
#include "pipeline/hotkeyconfig.h"

#include <QWidget>

class HotKeyButton;
class TextLabel;
class SymbolButton;

// One operation's hotkey on the settings page: its title and explanation, the
// button that shows the combination (or, while a new one is recorded, the
// prompt to press it) and the button that clears it. A combination that
// another application holds says so under the explanation.
class HotKeyRow : public QWidget {
  Q_OBJECT

 public:
  explicit HotKeyRow(HotKeyCombo combo, QWidget* parent = nullptr);

  HotKeyCombo combo() const { return combo_; }
  void setState(const QString& title, const QString& subtitle, const HotKeyConfig& config, bool isRecording,
                bool heldElsewhere = false);

  HotKeyButton* keyButton() const { return keyButton_; }
  SymbolButton* clearButton() const { return clearButton_; }
  // The line that tells that another application holds the combination.
  TextLabel* heldLabel() const { return heldLabel_; }

 Q_SIGNALS:
  void tapped(HotKeyCombo combo);
  void cleared(HotKeyCombo combo);

 private:
  HotKeyCombo combo_;
  TextLabel* title_;
  TextLabel* subtitle_;
  TextLabel* heldLabel_;
  HotKeyButton* keyButton_;
  SymbolButton* clearButton_;
};
