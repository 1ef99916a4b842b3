#pragma once

#include "onboarding/onboardingstep.h"
#include "pipeline/hotkeycombo.h"

#include <QColor>
#include <QString>
#include <QWidget>

class CompletionBadge;
class KeyChip;
class QLabel;
class QVBoxLayout;

// What every practice page shares: a header with the page's icon, title,
// subtitle and hotkey, a card in the middle that each page fills, three
// numbered instructions and the badge with the flow's verdict. The page
// decides nothing about passing: the flow tells it through setDone().
class TrialPageFrame : public QWidget {
  Q_OBJECT

 public:
  struct Texts {
    QString title;
    QString subtitle;
    QString instructions[3];
  };

  OnboardingStep step() const { return step_; }
  bool isDone() const;
  void setDone(bool isDone);

  // For tests: what the header's chip shows and the texts on screen.
  QString shownHotKey() const;
  QString shownTitle() const;
  QStringList shownInstructions() const;

 protected:
  TrialPageFrame(OnboardingStep step, const QColor& accent, const QString& icon, HotKeyCombo combo, bool isDone,
                 QWidget* parent);

  QColor accent() const { return accent_; }
  // The middle card's column, for the page's own content.
  QVBoxLayout* cardLayout() const { return card_; }
  // A label row of the card: a small symbol in the accent and a hint.
  QLabel* addCardLabelRow(const QString& symbol);

  // Called at construction (by the page, once its card is built) and at every
  // change of the interface language.
  void retranslate();
  virtual Texts texts() const = 0;
  virtual void retranslateCard() {}

  void showEvent(QShowEvent* event) override;

 private:
  QWidget* header(const QString& icon);
  QWidget* instructionRow(int number, QLabel*& text);
  void showHotKey();

  OnboardingStep step_;
  QColor accent_;
  HotKeyCombo combo_;
  QLabel* title_ = nullptr;
  QLabel* subtitle_ = nullptr;
  KeyChip* chip_ = nullptr;
  QVBoxLayout* card_ = nullptr;
  QLabel* instructions_[3] = {};
  CompletionBadge* badge_ = nullptr;
};
