#include "mainwindow/myinvitecodesview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/invitecoderow.h"
#include "mainwindow/myinvitecodesviewmodel.h"
#include "mainwindow/progressspinner.h"
#include "mainwindow/symbolbutton.h"
#include "mainwindow/symbolview.h"
#include "mainwindow/textlabel.h"
#include "mainwindow/themedscrollarea.h"
#include "theme/cyberdividerline.h"
#include "theme/fonts.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

using namespace Palette;

MyInviteCodesView::MyInviteCodesView(std::function<void()> onDismiss, QWidget* parent)
    : QWidget(parent), onDismiss_(std::move(onDismiss)), vm_(new MyInviteCodesViewModel(this)) {
  setFixedWidth(viewWidth);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* header = new QHBoxLayout();
  header->setContentsMargins(16, 14, 16, 14);
  header->setSpacing(8);
  header->addWidget(new SymbolView(QStringLiteral("key.fill"), 13, withOpacity(neonCyan, 0.7), this));
  title_ = new TextLabel(orbitronFont(14, QFont::Bold), cyberTextPrimary, this);
  header->addWidget(title_);
  header->addStretch();
  close_ = new SymbolButton(QStringLiteral("xmark"), 11, cyberTextTertiary, this);
  close_->setFrame(QSizeF(22, 22));
  close_->setBacking({withOpacity(cyberTextTertiary, 0.08), QColor(), 0, 4});
  connect(close_, &QAbstractButton::clicked, this, [this] {
    if (onDismiss_) onDismiss_();
  });
  header->addWidget(close_);
  column->addLayout(header);
  column->addWidget(new CyberDividerLine(neonCyan, this));

  auto* body = new QVBoxLayout();
  body->setContentsMargins(20, 20, 20, 20);
  body->setSpacing(0);
  loading_ = buildLoading();
  failed_ = buildFailed();
  list_ = buildList();
  body->addWidget(loading_);
  body->addWidget(failed_);
  body->addWidget(list_);
  column->addLayout(body);

  connect(vm_, &MyInviteCodesViewModel::isLoadingChanged, this, &MyInviteCodesView::render);
  connect(vm_, &MyInviteCodesViewModel::errorMessageChanged, this, &MyInviteCodesView::render);
  connect(vm_, &MyInviteCodesViewModel::codesChanged, this, &MyInviteCodesView::rebuildRows);
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &MyInviteCodesView::retranslate);
  rebuildRows();
  retranslate();
}

QWidget* MyInviteCodesView::buildLoading() {
  auto* holder = new QWidget(this);
  auto* row = new QHBoxLayout(holder);
  row->setContentsMargins(0, 24, 0, 24);
  row->setSpacing(10);
  row->addStretch();
  row->addWidget(new ProgressSpinner(neonCyan, 16, holder));
  loadingText_ = new TextLabel(rajdhaniMedium(13), cyberTextSecondary, holder);
  row->addWidget(loadingText_);
  row->addStretch();
  return holder;
}

QWidget* MyInviteCodesView::buildFailed() {
  auto* holder = new QWidget(this);
  auto* column = new QVBoxLayout(holder);
  column->setContentsMargins(0, 12, 0, 12);
  column->setSpacing(12);
  column->addWidget(new SymbolView(QStringLiteral("exclamationmark.triangle"), 20, withOpacity(neonRed, 0.7), holder),
                    0, Qt::AlignHCenter);
  error_ = new TextLabel(rajdhaniMedium(13), cyberTextSecondary, holder);
  error_->setAlignment(Qt::AlignHCenter);
  error_->setWordWrap(true);
  column->addWidget(error_);
  retry_ = new NeonButton(QString(), neonCyan, holder);
  // A new load on the same model; the model decides what is shown.
  connect(retry_, &QAbstractButton::clicked, vm_, [this] { vm_->load(); });
  column->addWidget(retry_, 0, Qt::AlignHCenter);
  return holder;
}

QWidget* MyInviteCodesView::buildList() {
  auto* holder = new QWidget(this);
  auto* column = new QVBoxLayout(holder);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  description_ = new TextLabel(rajdhaniMedium(12), cyberTextTertiary, holder);
  description_->setWordWrap(true);
  column->addWidget(description_);
  column->addSpacing(16);
  scroll_ = new ThemedScrollArea(holder);
  auto* entries = new QVBoxLayout(scroll_->content());
  entries->setContentsMargins(0, 0, 0, 0);
  entries->setSpacing(0);
  column->addWidget(scroll_);
  return holder;
}

MyInviteCodesView::State MyInviteCodesView::state() const {
  if (vm_->isLoading()) return State::loading;
  if (vm_->errorMessage()) return State::failed;
  return State::list;
}

void MyInviteCodesView::render() {
  const State current = state();
  loading_->setVisible(current == State::loading);
  failed_->setVisible(current == State::failed);
  list_->setVisible(current == State::list);
  error_->setText(vm_->errorMessage().value_or(QString()));
}

void MyInviteCodesView::rebuildRows() {
  QLayout* entries = scroll_->content()->layout();
  while (QLayoutItem* item = entries->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  rows_.clear();
  for (const InviteCodeItem& item : vm_->codes()) {
    if (!rows_.isEmpty()) {
      auto* gap = new QWidget(scroll_->content());
      auto* line = new QVBoxLayout(gap);
      line->setContentsMargins(0, 8, 0, 8);
      line->addWidget(new CyberDividerLine(cyberSeparator, gap));
      entries->addWidget(gap);
    }
    auto* row = new InviteCodeRow(item, scroll_->content());
    rows_.append(row);
    entries->addWidget(row);
  }
  const qsizetype count = rows_.size();
  scroll_->setVerticalScrollBarPolicy(count > visibleRows ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  const int cap = rowHeight * int(std::min<qsizetype>(count, visibleRows));
  scroll_->setFixedHeight(std::min(cap, scroll_->content()->sizeHint().height()));
  render();
}

void MyInviteCodesView::retranslate() {
  const AppStrings& strings = currentStrings();
  title_->setText(strings.myInviteCodesTitle);
  setAccessibleName(strings.myInviteCodesTitle);
  close_->setAccessibleName(strings.agreementClose);
  loadingText_->setText(strings.loading);
  retry_->setText(strings.retry);
  description_->setText(strings.myInviteCodesDesc);
  for (InviteCodeRow* row : rows_) row->retranslate();
}

void MyInviteCodesView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  vm_->load();
}
