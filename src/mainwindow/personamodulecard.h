#pragma once

#include "mainwindow/moduledraft.h"
#include "theme/neoncard.h"

#include <QColor>
#include <QString>

class BadgeLabel;
class CyberDividerLine;
class NeonButton;
class NeonToggle;
class QPlainTextEdit;
class SymbolView;
class TextLabel;

// The editor of one module prompt of a persona: the module's symbol, title,
// state badge (built-in, custom, active) and explanation, the switch (only
// while there is a prompt), the prompt itself with its placeholder, a button
// back to the built-in prompt and a character counter. Its look follows the
// state: an active module glows in its accent colour.
class PersonaModuleCard : public NeonCard {
  Q_OBJECT

 public:
  PersonaModuleCard(const QString& icon, const QColor& accent, QWidget* parent = nullptr);

  void setTexts(const QString& title, const QString& description, const QString& placeholder);

  const ModuleDraft& draft() const { return draft_; }
  void setDraft(const ModuleDraft& draft);

  QPlainTextEdit* editor() const;
  NeonToggle* toggle() const { return toggle_; }
  NeonButton* clearButton() const { return clear_; }
  TextLabel* counter() const { return counter_; }
  BadgeLabel* badge() const { return badge_; }

  static constexpr int editorMinimumHeight = 100;
  static constexpr int editorMaximumHeight = 220;

 Q_SIGNALS:
  void draftChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class PromptEditor;

  void typed();
  void render();
  void fitEditor();

  QColor accent_;
  ModuleDraft draft_;
  bool showingDraft_ = false;

  SymbolView* icon_;
  TextLabel* title_;
  BadgeLabel* badge_;
  TextLabel* description_;
  NeonToggle* toggle_;
  CyberDividerLine* divider_;
  PromptEditor* editor_;
  NeonButton* clear_;
  TextLabel* counter_;
};
