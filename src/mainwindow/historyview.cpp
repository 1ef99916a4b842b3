#include "mainwindow/historyview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
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
  listColumn_ = new QVBoxLayout(list_);
  listColumn_->setContentsMargins(36, 12, 36, 12);
  listColumn_->setSpacing(12);
  more_->setSymbol(QStringLiteral("chevron.down"), 12);
  more_->setSpacing(8);
  auto* moreRow = new QVBoxLayout;
  moreRow->setContentsMargins(0, 12, 0, 12);
  moreRow->addWidget(more_, 0, Qt::AlignHCenter);
  listColumn_->addLayout(moreRow);
  column->addWidget(list_);
  column->addStretch(1);
  contentLayout()->addWidget(scroll_, 1);
  // Scrolling down, or more room, brings more records near the view.
  connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, this, &HistoryView::fillView);
  scroll_->viewport()->installEventFilter(this);

  connect(more_, &QAbstractButton::clicked, this, &HistoryView::showMore);
  connect(picker_, &RetentionPicker::policyChosen, this,
          [this](RetentionPolicy policy) { store_.setRetentionPolicy(policy); });
  connect(&store_, &HistoryStore::recordsChanged, this, &HistoryView::renderList);
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
  builtCount_ = 0;
  renderList();
}

bool HistoryView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == scroll_->viewport() && event->type() == QEvent::Resize) fillView();
  return PageScaffold::eventFilter(watched, event);
}

qsizetype HistoryView::shownCount() const { return std::min<qsizetype>(displayCount_, store_.records().size()); }

void HistoryView::showMore() {
  displayCount_ += pageSize_;
  renderList();
}

void HistoryView::render() {
  const AppStrings& strings = currentStrings();
  title_->setText(strings.pageHistory);
  retention_->setTexts(strings.historySaveTitle, strings.historySaveSubtitle);
  privacy_->setTexts(strings.historyPrivacyTitle, strings.historyPrivacySubtitle);
  picker_->retranslate();
  picker_->setPolicy(store_.retentionPolicy());
  empty_->setText(strings.noRecords);
  renderList();
}

void HistoryView::renderList() {
  const QList<RecordingHistory>& records = store_.records();
  count_->setText(currentStrings().recordCount(records.size()));
  empty_->setVisible(records.isEmpty());
  list_->setVisible(!records.isEmpty());

  const qsizetype built = std::min(builtCount_, shownCount());
  QHash<QString, HistoryCard*> kept;
  QList<HistoryCard*> order;
  for (qsizetype i = 0; i < built; ++i) {
    const RecordingHistory& record = records.at(i);
    HistoryCard* card = cardsById_.take(record.id);
    if (card) {
      card->setRecord(record);
    } else {
      card = new HistoryCard(record, list_);
    }
    kept.insert(record.id, card);
    order.append(card);
  }
  // Cards of records that left the view go, and with them their flags.
  for (HistoryCard* gone : std::as_const(cardsById_)) {
    gone->hide();
    gone->deleteLater();
  }
  cardsById_ = kept;
  cards_ = order;
  for (qsizetype i = 0; i < order.size(); ++i) {
    listColumn_->removeWidget(order.at(i));
    listColumn_->insertWidget(int(i), order.at(i));
    order.at(i)->show();
  }

  const qsizetype hidden = records.size() - displayCount_;
  more_->setVisible(hidden > 0);
  if (hidden > 0) more_->setText(currentStrings().moreCount(hidden));
  fillView();
}

void HistoryView::fillView() {
  const QList<RecordingHistory>& records = store_.records();
  const qsizetype shown = shownCount();
  // Nothing is in view before the page is on screen; coming on screen fills it.
  if (!isVisible() || cards_.size() >= shown) return;
  // Where the made cards end, as their layout will put them.
  const int spacing = listColumn_->spacing();
  int bottom = settings_->sizeHint().height() + listColumn_->contentsMargins().top();
  for (HistoryCard* card : std::as_const(cards_)) bottom += card->sizeHint().height() + spacing;
  const int reach = scroll_->verticalScrollBar()->value() + 2 * scroll_->viewport()->height();
  while (cards_.size() < shown && bottom < reach) {
    const RecordingHistory& record = records.at(cards_.size());
    auto* card = new HistoryCard(record, list_);
    cardsById_.insert(record.id, card);
    listColumn_->insertWidget(int(cards_.size()), card);
    cards_.append(card);
    card->show();
    bottom += card->sizeHint().height() + spacing;
  }
  builtCount_ = cards_.size();
}
