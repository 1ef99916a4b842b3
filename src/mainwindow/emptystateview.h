#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class GlowLabel;
class NeonButton;
class SymbolView;

// A page's word when it has nothing to list: a large muted symbol over a
// glowing line, centred in the space it is given, with an optional button
// under them (a failed load offers to try again).
class EmptyStateView : public QWidget {
  Q_OBJECT

 public:
  EmptyStateView(const QString& symbol, const QColor& textColor, QWidget* parent = nullptr);

  void setText(const QString& text);
  QString text() const;
  // Shows a button under the text; an empty title hides it.
  void setAction(const QString& title);
  NeonButton* actionButton() const { return action_; }

 Q_SIGNALS:
  void actionTriggered();

 private:
  SymbolView* symbol_;
  GlowLabel* label_;
  NeonButton* action_;
};
