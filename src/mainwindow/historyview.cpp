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
      empty_(new EmptyStateView(QStringLiteral("clock.badge.questionmark"), Palette::cyberTextSecondary, this)),
      more_(new PlainButton(QString(), rajdhaniSemiBold(13), Palette::cyberTextSecondary, this)) {
  headerLayout()->addWidget(title_);
  headerLayout()->addStretch(1);
  headerLayout()->addWidget(count_);

  auto* scroll = new ThemedScrollArea(this);
  auto* column = new QVBoxLayout(scroll->content());
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* settings = new QVBoxLayout;
  settings->setContentsMargins(36, 16, 36, 0);
  settings->setSpacing(16);
  retention_->setControl(picker_);
  settings->addWidget(retention_);
  settings->addWidget(privacy_);
  column->addLayout(settings);

  empty_->setMinimumHeight(200);
  column->addWidget(empty_);
  list_ = new QWidget(scroll->content());
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
  contentLayout()->addWidget(scroll, 1);

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
  renderList();
}

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

  const qsizetype shown = std::min<qsizetype>(displayCount_, records.size());
  QHash<QString, HistoryCard*> kept;
  QList<HistoryCard*> order;
  for (qsizetype i = 0; i < shown; ++i) {
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
}
