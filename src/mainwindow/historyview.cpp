#include "mainwindow/historyview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/cardcolumn.h"
#include "mainwindow/emptystateview.h"
#include "mainwindow/historycard.h"
#include "mainwindow/historysettingcard.h"
#include "mainwindow/plainbutton.h"
#include "mainwindow/retentionpicker.h"
#include "mainwindow/textlabel.h"
#include "mainwindow/themedscrollarea.h"
#include "pipeline/historystore.h"
#include "theme/fonts.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"

#include <QHash>
#include <QLayout>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

HistoryView::HistoryView(HistoryStore& store, int pageSize, int displayCount, LanguageManager& lang, QWidget* parent)
    : PageScaffold(parent),
      store_(store),
      pageSize_(pageSize),
      displayCount_(displayCount),
      title_(new NeonTitleLabel(QString(), {Palette::neonCyan, Palette::neonGreen}, 22, this)),
      count_(new TextLabel(rajdhaniSemiBold(13), Palette::cyberTextTertiary, this)),
      retention_(new HistorySettingCard(QStringLiteral("clock.arrow.circlepath"), Palette::neonCyan, false, this)),
      privacy_(new HistorySettingCard(QStringLiteral("lock.shield"), Palette::neonGreen, true, this)),
      picker_(new RetentionPicker(this)),
      scroll_(new ThemedScrollArea(this)),
      empty_(new EmptyStateView(QStringLiteral("clock.badge.questionmark"), Palette::cyberTextSecondary, this)),
      more_(new PlainButton(QString(), rajdhaniSemiBold(13), Palette::cyberTextSecondary, this)) {
  headerLayout()->addWidget(title_);
  headerLayout()->addStretch(1);
  headerLayout()->addWidget(count_);

  auto* column = new QVBoxLayout(scroll_->content());
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  settings_ = new QWidget(scroll_->content());
  auto* settings = new QVBoxLayout(settings_);
  settings->setContentsMargins(36, 16, 36, 0);
  settings->setSpacing(16);
  retention_->setControl(picker_);
  settings->addWidget(retention_);
  settings->addWidget(privacy_);
  column->addWidget(settings_);

  empty_->setMinimumHeight(200);
  column->addWidget(empty_);
  list_ = new QWidget(scroll_->content());
  auto* listLayout = new QVBoxLayout(list_);
  listLayout->setContentsMargins(36, 12, 36, 12);
  listLayout->setSpacing(12);
  cardList_ = new QWidget(list_);
  listColumn_ = new CardColumn(cardList_);
  listColumn_->setContentsMargins(0, 0, 0, 0);
  listColumn_->setSpacing(12);
  listLayout->addWidget(cardList_);
  more_->setSymbol(QStringLiteral("chevron.down"), 12);
  more_->setSpacing(8);
  auto* moreRow = new QVBoxLayout;
  moreRow->setContentsMargins(0, 12, 0, 12);
  moreRow->addWidget(more_, 0, Qt::AlignHCenter);
  listLayout->addLayout(moreRow);
  column->addWidget(list_);
  column->addStretch(1);
  contentLayout()->addWidget(scroll_, 1);
  // Scrolling down, or more room, brings more records near the view.
  connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, this, &HistoryView::fillView);
  scroll_->viewport()->installEventFilter(this);
  // Once laid out, the made cards may turn out to leave room for more.
  cardList_->installEventFilter(this);

  connect(more_, &QAbstractButton::clicked, this, &HistoryView::showMore);
  connect(picker_, &RetentionPicker::policyChosen, this,
          [this](RetentionPolicy policy) { store_.setRetentionPolicy(policy); });
  connect(&store_, &HistoryStore::recordInserted, this, &HistoryView::recordInserted);
  connect(&store_, &HistoryStore::recordUpdated, this, &HistoryView::recordUpdated);
  connect(&store_, &HistoryStore::recordRemoved, this, &HistoryView::recordRemoved);
  connect(&store_, &HistoryStore::recordsReset, this, &HistoryView::recordsReset);
  connect(&store_, &HistoryStore::retentionPolicyChanged, this,
          [this] { picker_->setPolicy(store_.retentionPolicy()); });
  connect(&lang, &LanguageManager::currentChanged, this, &HistoryView::render);
  render();
}

QList<HistoryCard*> HistoryView::cards() const { return cards_; }

void HistoryView::showEvent(QShowEvent* event) {
  PageScaffold::showEvent(event);
  if (event->spontaneous()) return;
  displayCount_ = pageSize_;
  trimToShown();
  renderCounts();
  fillView();
}

bool HistoryView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (watched == scroll_->viewport()) fillView();
    // Sent while a layout is being applied: the cards come after it.
    if (watched == cardList_) QMetaObject::invokeMethod(this, &HistoryView::fillView, Qt::QueuedConnection);
  }
  return PageScaffold::eventFilter(watched, event);
}

qsizetype HistoryView::shownCount() const { return std::min<qsizetype>(displayCount_, store_.records().size()); }

void HistoryView::showMore() {
  displayCount_ += pageSize_;
  renderCounts();
  fillView();
}

void HistoryView::render() {
  const AppStrings& strings = currentStrings();
  title_->setText(strings.pageHistory);
  retention_->setTexts(strings.historySaveTitle, strings.historySaveSubtitle);
  privacy_->setTexts(strings.historyPrivacyTitle, strings.historyPrivacySubtitle);
  picker_->retranslate();
  picker_->setPolicy(store_.retentionPolicy());
  empty_->setText(strings.noRecords);
  renderCounts();
}

void HistoryView::renderCounts() {
  const qsizetype total = store_.records().size();
  count_->setText(currentStrings().recordCount(total));
  empty_->setVisible(total == 0);
  list_->setVisible(total > 0);
  const qsizetype hidden = total - displayCount_;
  more_->setVisible(hidden > 0);
  if (hidden > 0) more_->setText(currentStrings().moreCount(hidden));
}

void HistoryView::recordInserted(int index) {
  // A record among the made cards needs its own; one past them waits until
  // it comes into view like any other.
  if (index < cards_.size()) {
    insertCard(index, store_.records().at(index));
    // The list keeps showing the newest records: the oldest one goes below the cut.
    trimToShown();
  }
  renderCounts();
  fillView();
}

void HistoryView::recordUpdated(int index) {
  if (index < cards_.size()) cards_.at(index)->setRecord(store_.records().at(index));
}

void HistoryView::recordRemoved(int index) {
  if (index < cards_.size()) removeCard(index);
  renderCounts();
  fillView();
}

void HistoryView::recordsReset() {
  // Anything may have changed: each card that still has its record keeps it,
  // with its flags; the others go, and missing ones are made.
  const QList<RecordingHistory>& records = store_.records();
  QHash<QString, HistoryCard*> previous;
  for (HistoryCard* card : std::as_const(cards_)) previous.insert(card->record().id, card);
  const qsizetype kept = std::min<qsizetype>(cards_.size(), shownCount());
  QList<HistoryCard*> order;
  order.reserve(kept);
  for (qsizetype i = 0; i < kept; ++i) {
    const RecordingHistory& record = records.at(i);
    HistoryCard* card = previous.take(record.id);
    if (card) card->setRecord(record);
    order.append(card);
  }
  for (HistoryCard* gone : std::as_const(previous)) {
    listColumn_->removeWidget(gone);
    gone->hide();
    gone->deleteLater();
  }
  cards_.clear();
  for (qsizetype i = 0; i < order.size(); ++i) {
    HistoryCard* card = order.at(i);
    if (!card) {
      insertCard(i, records.at(i));
      continue;
    }
    cards_.append(card);
    // Kept cards are in their old order; only a card out of place moves.
    QLayoutItem* item = listColumn_->itemAt(int(i));
    if (!item || item->widget() != card) {
      listColumn_->removeWidget(card);
      listColumn_->insertWidget(int(i), card);
    }
  }
  renderCounts();
  fillView();
}

void HistoryView::insertCard(qsizetype index, const RecordingHistory& record) {
  auto* card = new HistoryCard(record, cardList_);
  // At the list's width before it is shown, which lays it out.
  card->resize(cardList_->width(), card->height());
  listColumn_->insertWidget(int(index), card);
  cards_.insert(index, card);
  card->show();
}

void HistoryView::removeCard(qsizetype index) {
  HistoryCard* card = cards_.takeAt(index);
  listColumn_->removeWidget(card);
  // Later, not now: one of its buttons may be what asked for the change.
  card->hide();
  card->deleteLater();
}

void HistoryView::trimToShown() {
  const qsizetype shown = shownCount();
  while (cards_.size() > shown) removeCard(cards_.size() - 1);
}

void HistoryView::fillView() {
  const QList<RecordingHistory>& records = store_.records();
  const qsizetype shown = shownCount();
  // Nothing is in view before the page is on screen; coming on screen fills it.
  if (!isVisible() || cards_.size() >= shown || filling_) return;
  // Laying the list out below may resize the viewport, which asks again.
  const QScopedValueRollback<bool> filling(filling_, true);
  // Where the made cards end: the layout places them first (it would, before
  // the next paint, anyway), so only the new cards' heights are estimates.
  scroll_->content()->layout()->activate();
  const int spacing = listColumn_->spacing();
  int bottom = list_->y() + cardList_->y() + (cards_.isEmpty() ? 0 : cards_.last()->geometry().bottom() + 1 + spacing);
  const int reach = scroll_->verticalScrollBar()->value() + 3 * scroll_->viewport()->height() / 2;
  // Qt lays out the parents of each widget it shows: the list is laid out
  // once after the new cards, not once for each.
  listColumn_->setEnabled(false);
  while (cards_.size() < shown && bottom < reach) {
    insertCard(cards_.size(), records.at(cards_.size()));
    // The height the list will give it (the layout keeps the answer).
    bottom += listColumn_->heightAt(int(cards_.size() - 1), cardList_->width()) + spacing;
  }
  listColumn_->setEnabled(true);
}
