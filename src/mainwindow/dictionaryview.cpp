#include "mainwindow/dictionaryview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/confirmationdialog.h"
#include "mainwindow/emptystateview.h"
#include "mainwindow/hotwordcountbadge.h"
#include "mainwindow/hotwordeditsheet.h"
#include "mainwindow/hotwordinput.h"
#include "mainwindow/hotwordrow.h"
#include "mainwindow/progressspinner.h"
#include "mainwindow/textlabel.h"
#include "mainwindow/themedscrollarea.h"
#include "service/dictionarystore.h"
#include "theme/fonts.h"
#include "theme/glowlabel.h"
#include "theme/neonbutton.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QShowEvent>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {

constexpr char kLoadingLabel[] = "loadingLabel";

QWidget* makeLoadingView(QWidget* parent) {
  auto* view = new QWidget(parent);
  auto* column = new QVBoxLayout(view);
  column->setSpacing(12);
  column->addStretch(1);
  column->addWidget(new ProgressSpinner(Palette::neonCyan, 16, view), 0, Qt::AlignHCenter);
  auto* label = new GlowLabel(QString(), Palette::neonCyan, 14, QFont::Bold, view);
  label->setObjectName(QLatin1String(kLoadingLabel));
  column->addWidget(label, 0, Qt::AlignHCenter);
  column->addStretch(1);
  return view;
}

}  // namespace

DictionaryView::DictionaryView(QWidget* parent)
    : PageScaffold(parent),
      store_(DictionaryStore::shared()),
      title_(new NeonTitleLabel(QString(), {Palette::neonCyan, Palette::neonGreen}, 22, this)),
      badge_(new HotWordCountBadge(this)),
      description_(new TextLabel(rajdhaniMedium(13), Palette::cyberTextTertiary, this)),
      add_(new NeonButton(QString(), Palette::neonCyan, this)),
      noticeLabel_(new TextLabel(rajdhaniMedium(13), Palette::neonRed, this)),
      loading_(makeLoadingView(this)),
      empty_(new EmptyStateView(QStringLiteral("text.book.closed"), Palette::cyberTextSecondary, this)),
      failed_(new EmptyStateView(QStringLiteral("exclamationmark.triangle"), Palette::neonRed, this)) {
  auto* heading = new QVBoxLayout;
  heading->setSpacing(8);
  auto* titleRow = new QHBoxLayout;
  titleRow->setSpacing(12);
  titleRow->addWidget(title_);
  titleRow->addWidget(badge_);
  titleRow->addStretch(1);
  heading->addLayout(titleRow);
  heading->addWidget(description_);
  headerLayout()->addLayout(heading);
  headerLayout()->addStretch(1);
  add_->setLeadingSymbol(QStringLiteral("plus"), 13);
  add_->setLabelFont(rajdhaniSemiBold(13));
  add_->setSpacing(8);
  headerLayout()->addWidget(add_, 0, Qt::AlignVCenter);

  noticeLabel_->setWordWrap(true);
  noticeLabel_->setContentsMargins(36, 12, 36, 0);
  noticeLabel_->hide();
  contentLayout()->addWidget(noticeLabel_);

  auto* scroll = new ThemedScrollArea(this);
  auto* listColumn = new QVBoxLayout(scroll->content());
  listColumn->setContentsMargins(36, 18, 36, 18);
  listColumn->setSpacing(10);
  listColumn->addStretch(1);
  list_ = scroll;

  auto* stackHolder = new QWidget(this);
  stack_ = new QStackedLayout(stackHolder);
  stack_->addWidget(loading_);
  stack_->addWidget(empty_);
  stack_->addWidget(failed_);
  stack_->addWidget(list_);
  contentLayout()->addWidget(stackHolder, 1);

  connect(add_, &QAbstractButton::clicked, this, &DictionaryView::addHotWord);
  connect(failed_, &EmptyStateView::actionTriggered, this, [this] { load(); });
  connect(&store_, &DictionaryStore::hotwordsChanged, this, &DictionaryView::rebuildRows);
  connect(&store_, &DictionaryStore::isLoadingChanged, this, &DictionaryView::render);
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &DictionaryView::render);
  rebuildRows();
}

DictionaryView::~DictionaryView() {
  // The sheet and the alert are windows of their own.
  delete sheet_.data();
  delete deleteAlert_.data();
}

DictionaryView::Content DictionaryView::content() const {
  if (store_.isLoading()) return Content::loading;
  if (store_.hotwords().isEmpty()) return loadError_ ? Content::failed : Content::empty;
  return Content::list;
}

QString DictionaryView::notice() const { return notice_.value_or(QString()); }

void DictionaryView::render() {
  const AppStrings& strings = currentStrings();
  title_->setText(strings.pageDict);
  badge_->setCount(store_.hotwords().size());
  description_->setText(strings.dictDesc);
  add_->setText(strings.add);
  add_->setEnabled(store_.hotwords().size() < HotWordInput::maxHotWords);
  loading_->findChild<GlowLabel*>(QLatin1String(kLoadingLabel))->setText(strings.loading);
  empty_->setText(strings.dictEmpty);
  failed_->setText(loadError_.value_or(QString()));
  failed_->setAction(strings.retry);
  for (HotWordRow* row : std::as_const(rows_)) row->retranslate();

  // A failed fetch over a list that is still shown, or a failed delete.
  const Content shown = content();
  const std::optional<QString> notice = shown == Content::list ? notice_ : std::nullopt;
  noticeLabel_->setVisible(notice.has_value());
  noticeLabel_->setText(notice.value_or(QString()));

  switch (shown) {
    case Content::loading:
      stack_->setCurrentWidget(loading_);
      break;
    case Content::empty:
      stack_->setCurrentWidget(empty_);
      break;
    case Content::failed:
      stack_->setCurrentWidget(failed_);
      break;
    case Content::list:
      stack_->setCurrentWidget(list_);
      break;
  }
}

void DictionaryView::rebuildRows() {
  for (HotWordRow* row : std::as_const(rows_)) {
    row->hide();
    row->deleteLater();
  }
  rows_.clear();
  auto* column = static_cast<QVBoxLayout*>(static_cast<ThemedScrollArea*>(list_)->content()->layout());
  int position = 0;
  for (const HotWordItem& item : store_.hotwords()) {
    auto* row = new HotWordRow(item, list_);
    connect(row, &HotWordRow::editRequested, this, [this, item] { editHotWord(item); });
    connect(row, &HotWordRow::deleteRequested, this, [this, item] { askToDelete(item); });
    column->insertWidget(position++, row);
    row->show();
    rows_.append(row);
  }
  render();
}

void DictionaryView::showEvent(QShowEvent* event) {
  PageScaffold::showEvent(event);
  if (!event->spontaneous()) load();
}

QCoro::Task<void> DictionaryView::load() {
  QPointer<DictionaryView> self(this);
  const quint64 number = ++latestLoad_;
  notice_.reset();
  co_await store_.loadHotWords();
  // Gone, or a newer fetch of this page decides.
  if (!self || number != latestLoad_) co_return;
  loadError_ = store_.errorMessage();
  notice_ = loadError_;
  render();
}

void DictionaryView::addHotWord() { openSheet(std::nullopt); }

void DictionaryView::editHotWord(const HotWordItem& item) { openSheet(item); }

void DictionaryView::openSheet(std::optional<HotWordItem> item) {
  editingItem_ = item;
  closeSheet();
  auto* sheet = new HotWordEditSheet(std::move(item), [this](QString word) { return save(std::move(word)); }, this);
  sheet_ = sheet;
  connect(sheet, &QDialog::finished, this, [this, sheet] {
    if (sheet_ == sheet) sheet_ = nullptr;
    sheet->deleteLater();
  });
  sheet->open();
}

void DictionaryView::closeSheet() {
  if (HotWordEditSheet* sheet = sheet_) {
    sheet_ = nullptr;
    sheet->accept();
  }
}

QCoro::Task<bool> DictionaryView::save(QString word) {
  QPointer<DictionaryView> self(this);
  QPointer<HotWordEditSheet> sheet = sheet_;
  const std::optional<HotWordItem> editing = editingItem_;
  bool saved = false;
  if (editing) {
    saved = co_await store_.updateHotWord(editing->id, word);
  } else {
    saved = co_await store_.addHotWord(word);
  }
  if (!self) co_return saved;
  if (saved) {
    if (sheet == sheet_) closeSheet();
  } else if (sheet) {
    sheet->showError(store_.errorMessage().value_or(currentStrings().errorUnknown));
  }
  co_return saved;
}

void DictionaryView::askToDelete(const HotWordItem& item) {
  deleteTarget_ = item;
  const AppStrings& strings = currentStrings();
  delete deleteAlert_.data();
  deleteAlert_ = askForConfirmation(this, strings.deleteConfirm, strings.deleteHotwordConfirm(item.word),
                                    {{strings.delete_, true}}, strings.cancel, [this](int choice) {
                                      if (choice == 0) confirmDelete();
                                    });
}

void DictionaryView::confirmDelete() {
  if (deleteTarget_) remove(*deleteTarget_);
}

QCoro::Task<void> DictionaryView::remove(HotWordItem item) {
  QPointer<DictionaryView> self(this);
  const bool deleted = co_await store_.deleteHotWord(item.id);
  if (!self) co_return;
  notice_ = deleted ? std::nullopt : store_.errorMessage();
  render();
}
