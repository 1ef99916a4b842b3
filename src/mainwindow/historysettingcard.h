#pragma once

#include "mainwindow/textbox.h"

#include <QColor>
#include <QString>

class SymbolView;
class TextLabel;

// One of the small cards over the history list: a symbol, a title over a
// line of explanation, and an optional control at the right, on a dark
// rounded ground (black at 0.25) with a thin border.
class HistorySettingCard : public TextBox {
  Q_OBJECT

 public:
  // `alignTop`: the symbol and texts hang from the top (a long explanation
  // wraps beneath); otherwise they are centred on the control.
  HistorySettingCard(const QString& symbol, const QColor& symbolColor, bool alignTop, QWidget* parent = nullptr);

  void setTexts(const QString& title, const QString& subtitle);
  // Puts `control` at the right edge.
  void setControl(QWidget* control);

  TextLabel* titleLabel() const { return title_; }
  TextLabel* subtitleLabel() const { return subtitle_; }

 private:
  TextLabel* title_;
  TextLabel* subtitle_;
  bool alignTop_;
};
