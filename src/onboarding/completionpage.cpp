#include "onboarding/completionpage.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/centeredbox.h"
#include "onboarding/completionhero.h"
#include "onboarding/hotkeydisplay.h"
#include "onboarding/keychip.h"
#include "onboarding/themedlabel.h"
#include "pipeline/hotkeymanager.h"
#include "theme/fonts.h"
#include "theme/neoncard.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kSpacing = 26;
}  // namespace

CompletionPage::CompletionPage(QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  // A 20-high spacer heads the stack. The hero carries room for its glow
  // around the ring, which the spacings around it give back.
  auto* hero = new CompletionHero;
  const int heroMargin = (hero->sizeHint().height() - 110) / 2;
  column->addSpacing(20 + kSpacing - heroMargin);
  column->addWidget(hero, 0, Qt::AlignHCenter);
  column->addSpacing(kSpacing - heroMargin);

  auto* titleBlock = new QWidget;
  auto* titleColumn = new QVBoxLayout(titleBlock);
  titleColumn->setContentsMargins(0, 0, 0, 0);
  titleColumn->setSpacing(10);
  title_ = new NeonTitleLabel(QString(), {Palette::neonGreen, Palette::neonCyan}, 22);
  title_->setAlignment(Qt::AlignCenter);
  titleColumn->addWidget(title_, 0, Qt::AlignHCenter);
  description_ = ThemedLabel::make(rajdhaniMedium(15), Palette::cyberTextSecondary);
  description_->setWordWrap(true);
  description_->setAlignment(Qt::AlignHCenter);
  titleColumn->addWidget(centeredBox(description_, 440));
  column->addWidget(titleBlock);
  column->addSpacing(kSpacing);

  auto* card = new NeonCard(Palette::cyberBorder, 6);
  auto* rows = new QVBoxLayout(card);
  rows->setContentsMargins(18, 18, 18, 18);
  rows->setSpacing(8);
  rows->addWidget(hotKeyRow(Palette::neonCyan, rows_[0]));
  rows->addWidget(hotKeyRow(Palette::neonGreen, rows_[1]));
  rows->addWidget(hotKeyRow(Palette::neonOrange, rows_[2]));
  column->addWidget(centeredBox(card, 400));
  column->addStretch(1);

  retranslate();
  showHotKeys();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &CompletionPage::retranslate);
  connect(&HotKeyManager::shared(), &HotKeyManager::configsChanged, this, &CompletionPage::showHotKeys);
}

QWidget* CompletionPage::hotKeyRow(const QColor& color, HotKeyRow& row) {
  auto* widget = new QWidget;
  auto* line = new QHBoxLayout(widget);
  line->setContentsMargins(0, 0, 0, 0);
  line->setSpacing(14);
  row.chip = new KeyChip(color, {12, QMarginsF(10, 5, 10, 5), 5, 0.8, 0});
  row.label = ThemedLabel::make(rajdhaniMedium(13), Palette::cyberTextSecondary);
  line->addWidget(row.chip);
  line->addWidget(row.label, 1);
  return widget;
}

void CompletionPage::retranslate() {
  const AppStrings& strings = currentStrings();
  title_->setText(strings.onboardingCompleteTitle);
  description_->setText(strings.onboardingCompleteDesc);
  rows_[0].label->setText(strings.hotkeyTranscribe);
  rows_[1].label->setText(strings.hotkeyRewrite);
  rows_[2].label->setText(strings.hotkeyAgent);
}

void CompletionPage::showEvent(QShowEvent* event) {
  // The configurations are read whenever the page comes on screen.
  showHotKeys();
  QWidget::showEvent(event);
}

void CompletionPage::showHotKeys() {
  const QList<HotKeyCombo>& combos = allHotKeyCombos();
  for (int i = 0; i < 3; ++i) rows_[i].chip->setText(displayedHotKey(combos[i]));
}

QStringList CompletionPage::shownHotKeys() const {
  QStringList shown;
  for (const HotKeyRow& row : rows_) shown.append(row.chip->text());
  return shown;
}
