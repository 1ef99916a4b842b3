#include "mainwindow/personaview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/emptystateview.h"
#include "mainwindow/personaeditsheet.h"
#include "mainwindow/personalistcard.h"
#include "mainwindow/progressspinner.h"
#include "mainwindow/symbolview.h"
#include "mainwindow/textlabel.h"
#include "mainwindow/themedscrollarea.h"
#include "service/personastore.h"
#include "theme/fonts.h"
#include "theme/glowlabel.h"
#include "theme/neonbutton.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include <initializer_list>

using namespace Palette;

namespace {

// A printf-style text of the tables ("%d / %d personas") with its numbers
// put in, in order.
QString withNumbers(QString format, std::initializer_list<qint64> numbers) {
  for (qint64 number : numbers) {
    const qsizetype at = format.indexOf(QLatin1String("%d"));
    if (at < 0) break;
    format.replace(at, 2, QString::number(number));
  }
  return format;
}

NeonButton* makeNewPersonaButton(QWidget* parent) {
  auto* button = new NeonButton(QString(), neonGreen, parent);
  button->setLeadingSymbol(QStringLiteral("plus"), 12);
  button->setLabelFont(rajdhaniSemiBold(13));
  return button;
}

}  // namespace

PersonaView::PersonaView(QWidget* parent) : PageScaffold(parent) {
  auto* heading = new QVBoxLayout();
  heading->setSpacing(6);
  title_ = new NeonTitleLabel(QString(), {neonCyan, neonGreen}, 22, this);
  heading->addWidget(title_);
  description_ = new TextLabel(rajdhaniSemiBold(12), cyberTextTertiary, this);
  description_->setWordWrap(true);
  heading->addWidget(description_);
  headerLayout()->addLayout(heading, 1);
  newButton_ = makeNewPersonaButton(this);
  connect(newButton_, &QAbstractButton::clicked, this, &PersonaView::create);
  headerLayout()->addWidget(newButton_);

  loading_ = buildLoading();
  empty_ = buildEmpty();
  // The same word on a failure as the dictionary page's.
  failed_ = new EmptyStateView(QStringLiteral("exclamationmark.triangle"), neonRed, this);
  connect(failed_, &EmptyStateView::actionTriggered, this, [this] { load(); });
  list_ = buildList();
  for (QWidget* content : {loading_, empty_, static_cast<QWidget*>(failed_), list_}) {
    contentLayout()->addWidget(content, 1);
  }

  PersonaStore& store = PersonaStore::shared();
  connect(&store, &PersonaStore::personasChanged, this, &PersonaView::syncCards);
  connect(&store, &PersonaStore::isLoadingChanged, this, &PersonaView::render);
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &PersonaView::retranslate);
  syncCards();
  retranslate();
}

QWidget* PersonaView::buildLoading() {
  auto* holder = new QWidget(this);
  auto* column = new QVBoxLayout(holder);
  column->setSpacing(12);
  column->addStretch();
  column->addWidget(new ProgressSpinner(neonCyan, 20, holder), 0, Qt::AlignHCenter);
  loadingText_ = new GlowLabel(QString(), neonCyan, 14, QFont::Bold, holder);
  column->addWidget(loadingText_, 0, Qt::AlignHCenter);
  column->addStretch();
  return holder;
}

QWidget* PersonaView::buildEmpty() {
  auto* holder = new QWidget(this);
  auto* column = new QVBoxLayout(holder);
  column->setContentsMargins(16, 16, 16, 16);
  column->setSpacing(16);
  column->addStretch();
  column->addWidget(new SymbolView(QStringLiteral("person.crop.rectangle.stack"), 40, cyberTextTertiary, holder), 0,
                    Qt::AlignHCenter);
  emptyText_ = new TextLabel(rajdhaniSemiBold(13), cyberTextTertiary, holder);
  emptyText_->setAlignment(Qt::AlignHCenter);
  emptyText_->setWordWrap(true);
  column->addWidget(emptyText_);
  emptyButton_ = makeNewPersonaButton(holder);
  connect(emptyButton_, &QAbstractButton::clicked, this, &PersonaView::create);
  column->addWidget(emptyButton_, 0, Qt::AlignHCenter);
  column->addStretch();
  return holder;
}

QWidget* PersonaView::buildList() {
  auto* scroll = new ThemedScrollArea(this);
  cardColumn_ = new QVBoxLayout(scroll->content());
  cardColumn_->setContentsMargins(36, 24, 36, 24);
  cardColumn_->setSpacing(12);
  auto* countLine = new QHBoxLayout();
  countLabel_ = new TextLabel(rajdhaniSemiBold(11), cyberTextTertiary, scroll->content());
  limitLabel_ = new TextLabel(rajdhaniSemiBold(11), neonYellow, scroll->content());
  countLine->addWidget(countLabel_);
  countLine->addStretch();
  countLine->addWidget(limitLabel_);
  cardColumn_->addLayout(countLine);
  cardColumn_->addStretch();
  return scroll;
}

PersonaView::Content PersonaView::content() const {
  const PersonaStore& store = PersonaStore::shared();
  if (store.isLoading()) return Content::loading;
  if (loadFailed_) return Content::failed;
  return store.personas().isEmpty() ? Content::empty : Content::list;
}

QList<PersonaListCard*> PersonaView::cards() const {
  QList<PersonaListCard*> ordered;
  for (const PersonaItem& persona : PersonaStore::shared().personas()) {
    if (PersonaListCard* card = cards_.value(persona.id)) ordered.append(card);
  }
  return ordered;
}

QCoro::Task<void> PersonaView::load() {
  QPointer<PersonaView> self(this);
  const quint64 loadNumber = ++latestLoad_;
  loadFailed_ = false;
  PersonaStore& store = PersonaStore::shared();
  co_await store.loadPersonas();
  if (!self || loadNumber != latestLoad_) co_return;
  loadFailed_ = store.errorMessage().has_value();
  render();
}

void PersonaView::create() { openSheet(std::nullopt); }

void PersonaView::edit(const PersonaItem& persona) { openSheet(persona); }

void PersonaView::openSheet(const std::optional<PersonaItem>& item) {
  if (sheet_ && sheet_->isVisible()) return;
  if (item) {
    editingItem_ = item;
  } else {
    showCreate_ = true;
  }
  sheet_ = new PersonaEditSheet(item, this);
  sheet_->setAttribute(Qt::WA_DeleteOnClose);
  // Saved or cancelled, the store already holds whatever changed.
  connect(sheet_, &QDialog::finished, this, [this] {
    sheet_ = nullptr;
    editingItem_.reset();
    showCreate_ = false;
  });
  sheet_->open();
}

void PersonaView::activate(const PersonaItem& persona) {
  isActivating_ = true;
  render();
  const QString id = persona.id;
  [](QPointer<PersonaView> self, QString id) -> QCoro::Task<void> {
    co_await PersonaStore::shared().activatePersona(id);
    if (!self) co_return;
    self->isActivating_ = false;
    self->render();
  }(this, id);
}

void PersonaView::deactivate() {
  isDeactivating_ = true;
  render();
  [](QPointer<PersonaView> self) -> QCoro::Task<void> {
    co_await PersonaStore::shared().deactivateAllPersonas();
    if (!self) co_return;
    self->isDeactivating_ = false;
    self->render();
  }(this);
}

void PersonaView::deletePersona(const PersonaItem& persona) {
  // No flag: the card goes when the store removes the persona.
  PersonaStore::shared().deletePersona(persona.id);
}

void PersonaView::syncCards() {
  const QList<PersonaItem>& personas = PersonaStore::shared().personas();
  QMap<QString, PersonaListCard*> kept;
  for (const PersonaItem& persona : personas) {
    PersonaListCard* card = cards_.take(persona.id);
    if (!card) {
      card = new PersonaListCard(persona, cardColumn_->parentWidget());
      connect(card, &PersonaListCard::editRequested, this, [this, card] { edit(card->persona()); });
      connect(card, &PersonaListCard::activateRequested, this, [this, card] { activate(card->persona()); });
      connect(card, &PersonaListCard::deactivateRequested, this, &PersonaView::deactivate);
      connect(card, &PersonaListCard::deleteRequested, this, [this, card] { deletePersona(card->persona()); });
    } else {
      card->setPersona(persona);
    }
    kept.insert(persona.id, card);
    // In the store's order, after the count line.
    cardColumn_->removeWidget(card);
    cardColumn_->insertWidget(int(kept.size()), card);
  }
  // Cards whose persona left the list go, with their delete question.
  qDeleteAll(cards_);
  cards_ = kept;
  render();
}

void PersonaView::retranslate() {
  const AppStrings& strings = currentStrings();
  title_->setText(strings.pagePersona);
  description_->setText(strings.personaPageDesc);
  newButton_->setText(strings.personaNewPersona);
  loadingText_->setText(strings.loading);
  emptyText_->setText(strings.personaPageDesc);
  emptyButton_->setText(strings.personaNewPersona);
  failed_->setAction(strings.retry);
  for (PersonaListCard* card : std::as_const(cards_)) card->retranslate();
  render();
}

void PersonaView::render() {
  const AppStrings& strings = currentStrings();
  const PersonaStore& store = PersonaStore::shared();
  const qsizetype count = store.personas().size();
  newButton_->setVisible(count < personaLimit);
  countLabel_->setText(withNumbers(strings.personaCountHint, {count, personaLimit}));
  limitLabel_->setText(withNumbers(strings.personaLimitReached, {personaLimit}));
  limitLabel_->setVisible(count >= personaLimit);
  failed_->setText(store.errorMessage().value_or(strings.errorUnknown));
  for (PersonaListCard* card : std::as_const(cards_)) card->setBusy(isActivating_, isDeactivating_);

  const Content shown = content();
  loading_->setVisible(shown == Content::loading);
  failed_->setVisible(shown == Content::failed);
  empty_->setVisible(shown == Content::empty);
  list_->setVisible(shown == Content::list);
}

void PersonaView::showEvent(QShowEvent* event) {
  PageScaffold::showEvent(event);
  if (!event->spontaneous()) load();
}
