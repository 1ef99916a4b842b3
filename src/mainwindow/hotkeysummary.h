#pragma once

#include "pipeline/hotkeycombo.h"
#include "pipeline/hotkeyconfig.h"

#include <QMap>
#include <QWidget>

class GlowLabel;

// The home page's hotkey card: for each of the three operations the hotkey
// that starts it, as a key cap in the operation's colour, and its name. A
// combo without a configuration shows its default (Alt with Q, E or W).
class HotKeySummary : public QWidget {
  Q_OBJECT

 public:
  explicit HotKeySummary(QWidget* parent = nullptr);

  // Shows `configs` in the current interface language.
  void render(const HotKeyConfigMap& configs);

  // The configuration shown for `combo`: its own, else the default.
  static HotKeyConfig shownConfig(const HotKeyConfigMap& configs, HotKeyCombo combo);

  // The key cap and the name of a row, as shown.
  QString keyText(HotKeyCombo combo) const;
  QString description(HotKeyCombo combo) const;

 private:
  GlowLabel* title_;
  QMap<HotKeyCombo, QWidget*> rows_;
};
