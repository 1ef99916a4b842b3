#include "mainwindow/personaeditsheet.h"

#include "core/charactercount.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/leadingcharacters.h"
#include "mainwindow/neonbusybutton.h"
#include "mainwindow/personamodulecard.h"
#include "mainwindow/personatextfield.h"
#include "mainwindow/textlabel.h"
#include "mainwindow/themedscrollarea.h"
#include "service/personastore.h"
#include "theme/cyberbggradient.h"
#include "theme/cyberdividerline.h"
#include "theme/fonts.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QVBoxLayout>

#include <tuple>

using namespace Palette;

namespace {

// The block of the two text fields: a faint dark fill inside a thin outline.
class FieldsBlock : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    painter.fillPath(shape, withOpacity(black, 0.15));
    painter.strokePath(shape, QPen(cyberBorder, 1));
  }
};

struct ModuleLook {
  HotKeyCombo module;
  const char* icon;
  QColor accent;
};

constexpr ModuleLook kModules[] = {
    {HotKeyCombo::transcribe, "waveform", neonCyan},
    {HotKeyCombo::rewrite, "pencil.and.sparkles", neonGreen},
    {HotKeyCombo::agent, "brain.head.profile", neonYellow},
};

ModuleDraft draftOf(const std::optional<QString>& prompt, bool enabled) {
  // Copied as the service sent it: a module switched on without a prompt
  // shows as built-in and is saved switched off.
  return ModuleDraft{prompt.value_or(QString()), enabled};
}

}  // namespace

PersonaEditSheet::PersonaEditSheet(std::optional<PersonaItem> item, QWidget* parent)
    : QDialog(parent), item_(std::move(item)) {
  setWindowModality(Qt::WindowModal);
  setMinimumSize(minimumWidth, minimumHeight);
  // It opens at its smallest: a long name shortens the title, it does not
  // widen the sheet (the user may still make it larger).
  resize(minimumWidth, minimumHeight);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* header = new QHBoxLayout();
  header->setContentsMargins(36, 24, 36, 24);
  header->setSpacing(12);
  cancel_ = new NeonButton(QString(), cyberTextSecondary, this);
  connect(cancel_, &QAbstractButton::clicked, this, &QDialog::reject);
  header->addWidget(cancel_);
  header->addStretch();
  title_ = new TextLabel(orbitronFont(16, QFont::Bold), cyberTextPrimary, this);
  title_->setElideMode(Qt::ElideRight);
  header->addWidget(title_);
  header->addStretch();
  save_ = new NeonBusyButton(neonGreen, rajdhaniSemiBold(13), this);
  connect(save_, &QAbstractButton::clicked, this, &PersonaEditSheet::save);
  header->addWidget(save_);
  column->addLayout(header);
  column->addWidget(new CyberDividerLine(neonCyan, this));

  auto* scroll = new ThemedScrollArea(this);
  auto* content = new QVBoxLayout(scroll->content());
  content->setContentsMargins(36, 24, 36, 24);
  content->setSpacing(20);
  errorLabel_ = new TextLabel(rajdhaniSemiBold(13), neonRed, scroll->content());
  errorLabel_->setWordWrap(true);
  errorLabel_->hide();
  content->addWidget(errorLabel_);
  content->addWidget(buildFields());
  for (const ModuleLook& look : kModules) {
    auto* card = new PersonaModuleCard(QString::fromLatin1(look.icon), look.accent, scroll->content());
    modules_.insert(look.module, card);
    content->addWidget(card);
  }
  content->addStretch();
  column->addWidget(scroll, 1);

  if (item_) {
    name_->setText(item_->name);
    description_->setText(item_->description.value_or(QString()));
    // Shown from their beginnings, not scrolled to the caret at their ends.
    name_->setCursorPosition(0);
    description_->setCursorPosition(0);
    const PersonaPrompts& prompts = item_->prompts;
    modules_.value(HotKeyCombo::transcribe)->setDraft(draftOf(prompts.transcribePrompt, prompts.transcribeEnabled));
    modules_.value(HotKeyCombo::rewrite)->setDraft(draftOf(prompts.rewritePrompt, prompts.rewriteEnabled));
    modules_.value(HotKeyCombo::agent)->setDraft(draftOf(prompts.intentHint, prompts.intentEnabled));
  }
  connect(name_, &QLineEdit::textChanged, this, [this] {
    limit(name_, nameLimit);
    render();
  });
  connect(description_, &QLineEdit::textChanged, this, [this] { limit(description_, descriptionLimit); });
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &PersonaEditSheet::retranslate);
  retranslate();
}

QWidget* PersonaEditSheet::buildFields() {
  auto* block = new FieldsBlock();
  auto* fields = new QVBoxLayout(block);
  fields->setContentsMargins(14, 14, 14, 14);
  fields->setSpacing(12);
  const auto addField = [&](TextLabel*& label, PersonaTextField*& field, const QFont& font, qreal fill) {
    auto* group = new QVBoxLayout();
    group->setSpacing(6);
    label = new TextLabel(rajdhaniSemiBold(12), cyberTextTertiary, block);
    field = new PersonaTextField(font, withOpacity(black, fill), block);
    group->addWidget(label);
    group->addWidget(field);
    fields->addLayout(group);
  };
  addField(nameLabel_, name_, rajdhaniMedium(14), 0.25);
  addField(descriptionLabel_, description_, rajdhaniMedium(13), 0.15);
  return block;
}

void PersonaEditSheet::limit(PersonaTextField* field, qsizetype characters) {
  // Typed or pasted, a text longer than the limit keeps its beginning.
  const QString text = field->text();
  if (characterCount(text) <= characters) return;
  const int cursor = field->cursorPosition();
  const QString kept = leadingCharacters(text, characters);
  field->setText(kept);
  field->setCursorPosition(std::min<int>(cursor, int(kept.size())));
}

QString PersonaEditSheet::name() const { return name_->text(); }

QString PersonaEditSheet::description() const { return description_->text(); }

bool PersonaEditSheet::canSave() const { return !isSaving_ && !name().trimmed().isEmpty(); }

PersonaPrompts PersonaEditSheet::prompts() const {
  PersonaPrompts prompts;
  std::tie(prompts.transcribePrompt, prompts.transcribeEnabled) = modules_.value(HotKeyCombo::transcribe)->draft().saved();
  std::tie(prompts.rewritePrompt, prompts.rewriteEnabled) = modules_.value(HotKeyCombo::rewrite)->draft().saved();
  std::tie(prompts.intentHint, prompts.intentEnabled) = modules_.value(HotKeyCombo::agent)->draft().saved();
  return prompts;
}

void PersonaEditSheet::save() {
  if (!canSave()) return;
  isSaving_ = true;
  render();
  runSave();
}

QCoro::Task<void> PersonaEditSheet::runSave() {
  QPointer<PersonaEditSheet> self(this);
  const QString trimmedName = name().trimmed();
  const QString trimmedDescription = description().trimmed();
  std::optional<QString> description;
  if (!trimmedDescription.isEmpty()) description = trimmedDescription;
  const PersonaPrompts prompts = this->prompts();
  PersonaStore& store = PersonaStore::shared();
  bool saved = false;
  if (!item_) {
    const std::optional<PersonaItem> created = co_await store.createPersona(trimmedName, description, prompts);
    saved = created.has_value();
  } else {
    // Left out, a description would stay as it was on the service: one the
    // user emptied is sent empty, so that it goes.
    if (!description && item_->description && !item_->description->isEmpty()) description = QString();
    const std::optional<QString> newName = trimmedName;
    const std::optional<PersonaPrompts> newPrompts = prompts;
    saved = co_await store.updatePersona(item_->id, newName, description, newPrompts);
  }
  // Cancelled meanwhile: the store holds the outcome, nobody waits here.
  if (!self) co_return;
  isSaving_ = false;
  if (saved) {
    error_.reset();
    accept();
  } else {
    error_ = store.errorMessage().value_or(currentStrings().errorUnknown);
  }
  render();
}

void PersonaEditSheet::retranslate() {
  const AppStrings& strings = currentStrings();
  cancel_->setText(strings.cancel);
  save_->setText(strings.save);
  nameLabel_->setText(strings.personaNameLabel);
  name_->setPlaceholderText(strings.personaNamePlaceholder);
  descriptionLabel_->setText(strings.personaDescLabel);
  description_->setPlaceholderText(strings.personaDescPlaceholder);
  modules_.value(HotKeyCombo::transcribe)
      ->setTexts(strings.personaTranscribeTitle, strings.personaTranscribeDesc, strings.personaTranscribePlaceholder);
  modules_.value(HotKeyCombo::rewrite)
      ->setTexts(strings.personaRewriteTitle, strings.personaRewriteDesc, strings.personaRewritePlaceholder);
  modules_.value(HotKeyCombo::agent)
      ->setTexts(strings.personaIntentTitle, strings.personaIntentDesc, strings.personaIntentPlaceholder);
  render();
}

void PersonaEditSheet::render() {
  title_->setText(item_ ? name() : currentStrings().personaNewPersona);
  name_->setOutline(name().isEmpty() ? cyberBorder : withOpacity(neonCyan, 0.4));
  save_->setBusy(isSaving_);
  save_->setEnabled(canSave());
  errorLabel_->setText(error_.value_or(QString()));
  errorLabel_->setVisible(error_.has_value());
}

void PersonaEditSheet::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  CyberBgGradient{}.paint(painter, rect());
}
