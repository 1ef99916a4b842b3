#include "onboarding/trialpageframe.h"

#include "localization/languagemanager.h"
#include "onboarding/centeredbox.h"
#include "onboarding/completionbadge.h"
#include "onboarding/hotkeydisplay.h"
#include "onboarding/keychip.h"
#include "onboarding/numberedcircle.h"
#include "mainwindow/symbolview.h"
#include "onboarding/themedlabel.h"
#include "pipeline/hotkeymanager.h"
#include "theme/fonts.h"
#include "theme/neoncard.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kMaxWidth = 580;
}  // namespace

TrialPageFrame::TrialPageFrame(OnboardingStep step, const QColor& accent, const QString& icon, HotKeyCombo combo,
                               bool isDone, QWidget* parent)
    : QWidget(parent), step_(step), accent_(accent), combo_(combo) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(20);
  column->addWidget(centeredBox(header(icon), kMaxWidth));

  // The card keeps its content at the leading edge, as wide as the column.
  auto* card = new NeonCard(Palette::withOpacity(accent, 0.2), 6);
  card_ = new QVBoxLayout(card);
  card_->setContentsMargins(18, 18, 18, 18);
  card_->setSpacing(10);
  column->addWidget(centeredBox(card, kMaxWidth));

  for (int i = 0; i < 3; ++i) column->addWidget(centeredBox(instructionRow(i + 1, instructions_[i]), kMaxWidth));
  badge_ = new CompletionBadge(isDone);
  column->addWidget(badge_, 0, Qt::AlignHCenter);
  column->addStretch(1);

  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &TrialPageFrame::retranslate);
  connect(&HotKeyManager::shared(), &HotKeyManager::configsChanged, this, &TrialPageFrame::showHotKey);
  showHotKey();
}

QWidget* TrialPageFrame::header(const QString& icon) {
  auto* row = new QWidget;
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  line->setSpacing(16);
  auto* symbol = new SymbolView(icon, 28, accent_);
  symbol->setGlow(Glow{Palette::withOpacity(accent_, 0.5), 8});
  line->addWidget(symbol);

  auto* texts = new QVBoxLayout;
  texts->setSpacing(4);
  title_ = ThemedLabel::make(orbitronFont(18, QFont::Bold), Palette::cyberTextPrimary);
  subtitle_ = ThemedLabel::make(rajdhaniMedium(13), Palette::cyberTextSecondary);
  // A long title (Russian) goes on over a second line rather than being cut.
  title_->setWordWrap(true);
  subtitle_->setWordWrap(true);
  texts->addWidget(title_);
  texts->addWidget(subtitle_);
  line->addLayout(texts, 1);

  chip_ = new KeyChip(accent_, {14, QMarginsF(14, 6, 14, 6), 7, 1, 0.3});
  line->addWidget(chip_);
  return row;
}

QWidget* TrialPageFrame::instructionRow(int number, QLabel*& text) {
  auto* row = new QWidget;
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  line->setSpacing(12);
  line->addWidget(new NumberedCircle(number, 16, accent_, 24), 0, Qt::AlignTop);
  text = ThemedLabel::make(rajdhaniMedium(13), Palette::cyberTextPrimary);
  text->setWordWrap(true);  // never cut short: it grows as tall as it needs
  line->addWidget(text, 1, Qt::AlignTop);
  return row;
}

QLabel* TrialPageFrame::addCardLabelRow(const QString& symbol) {
  auto* line = new QHBoxLayout;
  line->setSpacing(6);
  line->addWidget(new SymbolView(symbol, 11, Palette::withOpacity(accent_, 0.7)));
  auto* label = ThemedLabel::make(rajdhaniSemiBold(12), Palette::cyberTextSecondary);
  line->addWidget(label, 1);
  card_->addLayout(line);
  return label;
}

void TrialPageFrame::retranslate() {
  const Texts shown = texts();
  title_->setText(shown.title);
  subtitle_->setText(shown.subtitle);
  for (int i = 0; i < 3; ++i) instructions_[i]->setText(shown.instructions[i]);
  retranslateCard();
}

bool TrialPageFrame::isDone() const { return badge_->isDone(); }

void TrialPageFrame::setDone(bool isDone) { badge_->setDone(isDone); }

void TrialPageFrame::showEvent(QShowEvent* event) {
  // The hotkey is read whenever the page comes on screen.
  showHotKey();
  QWidget::showEvent(event);
}

void TrialPageFrame::showHotKey() { chip_->setText(displayedHotKey(combo_)); }

QString TrialPageFrame::shownHotKey() const { return chip_->text(); }

QString TrialPageFrame::shownTitle() const { return title_->text(); }

QStringList TrialPageFrame::shownInstructions() const {
  QStringList shown;
  for (const QLabel* label : instructions_) shown.append(label->text());
  return shown;
}
