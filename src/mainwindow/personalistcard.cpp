#include "mainwindow/personalistcard.h"

#include "localization/appstrings.h"
#include "mainwindow/badgelabel.h"
#include "mainwindow/confirmationdialog.h"
#include "mainwindow/moduleindicator.h"
#include "mainwindow/neonbusybutton.h"
#include "mainwindow/symbolbutton.h"
#include "mainwindow/textlabel.h"
#include "theme/cyberdividerline.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

using namespace Palette;

PersonaListCard::PersonaListCard(const PersonaItem& persona, QWidget* parent)
    : NeonCard(cyberBorder, 1, parent), persona_(persona) {
  // Gaining or losing the active look eases in.
  setNeonTransition(200);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* header = new QHBoxLayout();
  header->setContentsMargins(16, 14, 16, 14);
  header->setSpacing(12);
  auto* texts = new QVBoxLayout();
  texts->setSpacing(4);
  auto* nameLine = new QHBoxLayout();
  nameLine->setSpacing(8);
  name_ = new TextLabel(orbitronFont(15, QFont::Bold), cyberTextPrimary, this);
  nameLine->addWidget(name_);
  badge_ = new BadgeLabel({rajdhaniSemiBold(10), neonGreen, withOpacity(neonGreen, 0.2), QColor(), 0, 4,
                           QMarginsF(6, 2, 6, 2)},
                          this);
  nameLine->addWidget(badge_);
  nameLine->addStretch();
  texts->addLayout(nameLine);
  description_ = new TextLabel(rajdhaniSemiBold(12), cyberTextTertiary, this);
  description_->setWordWrap(true);
  // At most two lines.
  description_->setMaximumHeight(2 * description_->fontMetrics().lineSpacing());
  texts->addWidget(description_);
  header->addLayout(texts, 1);

  auto* buttons = new QHBoxLayout();
  buttons->setSpacing(8);
  edit_ = new SymbolButton(QStringLiteral("square.and.pencil"), 14, cyberTextSecondary, this);
  edit_->setToolTip(QStringLiteral("编辑"));
  activate_ = new NeonBusyButton(neonGreen, rajdhaniSemiBold(11), this);
  deactivate_ = new NeonBusyButton(cyberTextSecondary, rajdhaniSemiBold(11), this);
  delete_ = new SymbolButton(QStringLiteral("trash"), 13, withOpacity(cyberTextTertiary, 0.5), this);
  for (QWidget* button : {static_cast<QWidget*>(edit_), static_cast<QWidget*>(activate_),
                          static_cast<QWidget*>(deactivate_), static_cast<QWidget*>(delete_)}) {
    buttons->addWidget(button);
  }
  header->addLayout(buttons);
  column->addLayout(header);

  divider_ = new CyberDividerLine(cyberBorder, this);
  column->addWidget(divider_);
  modules_ = new QWidget(this);
  auto* moduleRow = new QHBoxLayout(modules_);
  moduleRow->setContentsMargins(16, 10, 16, 10);
  moduleRow->setSpacing(16);
  const std::pair<const char*, QColor> looks[] = {
      {"waveform", neonCyan}, {"pencil.and.sparkles", neonGreen}, {"brain.head.profile", neonYellow}};
  for (const auto& [symbol, accent] : looks) {
    auto* indicator = new ModuleIndicator(QString::fromLatin1(symbol), accent, modules_);
    indicators_.append(indicator);
    moduleRow->addWidget(indicator);
  }
  moduleRow->addStretch();
  column->addWidget(modules_);

  connect(edit_, &QAbstractButton::clicked, this, &PersonaListCard::editRequested);
  connect(activate_, &QAbstractButton::clicked, this, &PersonaListCard::activateRequested);
  connect(deactivate_, &QAbstractButton::clicked, this, &PersonaListCard::deactivateRequested);
  connect(delete_, &QAbstractButton::clicked, this, &PersonaListCard::confirmDelete);
  retranslate();
}

void PersonaListCard::setPersona(const PersonaItem& persona) {
  persona_ = persona;
  render();
}

void PersonaListCard::setBusy(bool isActivating, bool isDeactivating) {
  isActivating_ = isActivating;
  isDeactivating_ = isDeactivating;
  render();
}

void PersonaListCard::retranslate() {
  const AppStrings& strings = currentStrings();
  badge_->setText(strings.personaActivated);
  activate_->setText(strings.personaActivateBtn);
  deactivate_->setText(strings.personaDeactivateBtn);
  render();
}

void PersonaListCard::render() {
  const bool active = persona_.isActive;
  name_->setText(persona_.name);
  // The symbol buttons act on this persona: a screen reader names it.
  edit_->setAccessibleName(persona_.name);
  delete_->setAccessibleName(currentStrings().delete_);
  delete_->setAccessibleDescription(persona_.name);
  badge_->setVisible(active);
  const QString description = persona_.description.value_or(QString());
  description_->setText(description);
  description_->setVisible(!description.isEmpty());

  activate_->setVisible(!active);
  activate_->setBusy(isActivating_);
  activate_->setEnabled(!isActivating_);
  deactivate_->setVisible(active);
  deactivate_->setBusy(isDeactivating_);
  deactivate_->setEnabled(!isDeactivating_);

  const PersonaPrompts& prompts = persona_.prompts;
  const bool anyPrompt = prompts.transcribePrompt || prompts.rewritePrompt || prompts.intentHint;
  divider_->setVisible(anyPrompt);
  divider_->setColor(withOpacity(active ? neonGreen : cyberBorder, 0.2));
  modules_->setVisible(anyPrompt);
  indicators_[0]->setState(prompts.transcribeEnabled, prompts.transcribePrompt.has_value());
  indicators_[1]->setState(prompts.rewriteEnabled, prompts.rewritePrompt.has_value());
  indicators_[2]->setState(prompts.intentEnabled, prompts.intentHint.has_value());

  if (active) {
    setNeon(withOpacity(neonGreen, 0.3), 5);
  } else {
    setNeon(cyberBorder, 1);
  }
}

void PersonaListCard::confirmDelete() {
  // One question at a time; an answered one is on its way out.
  if (confirmation_ && confirmation_->isVisible()) return;
  const AppStrings& strings = currentStrings();
  const QList<ConfirmationChoice> choices{{strings.delete_, true}};
  confirmation_ = askForConfirmation(this, strings.deleteConfirm, QString(), choices, strings.cancel, [this](int choice) {
    if (choice == 0) Q_EMIT deleteRequested();
  });
}
