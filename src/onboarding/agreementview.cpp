#include "onboarding/agreementview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/progressspinner.h"
#include "onboarding/agreementviewmodel.h"
#include "overlays/markdownscrollview.h"
#include "theme/cyberbggradient.h"
#include "theme/cyberdividerline.h"
#include "theme/fonts.h"
#include "theme/neonbutton.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"
#include "theme/scanlinetexture.h"
#include "theme/symbolimage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

constexpr int kButtonWidth = 120;
constexpr int kDocumentMaxHeight = 440;

QLabel* makeText(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFont(rajdhaniMedium(13));
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  QPalette colours = label->palette();
  colours.setColor(QPalette::WindowText, Palette::cyberTextSecondary);
  label->setPalette(colours);
  return label;
}

NeonButton* makeButton(QWidget* parent) {
  auto* button = new NeonButton(QString(), Palette::neonCyan, parent);
  button->setFixedWidth(kButtonWidth);
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

}  // namespace

AgreementView::AgreementView(AgreementType type, QWidget* parent)
    : QDialog(parent), type_(type), vm_(new AgreementViewModel(this)) {
  setFixedSize(sheetWidth, sheetHeight);
  setWindowModality(Qt::WindowModal);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* header = new QHBoxLayout;
  header->setContentsMargins(24, 16, 24, 16);
  title_ = new NeonTitleLabel(QString(), {Palette::neonCyan, Palette::neonGreen}, 16, this);
  header->addWidget(title_);
  header->addStretch();
  column->addLayout(header);
  column->addWidget(new CyberDividerLine(Palette::neonGreen, this));

  body_ = new QStackedWidget(this);
  body_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  loading_ = buildLoadingPage();
  failed_ = buildFailedPage();
  auto* documentPage = new QWidget(body_);
  auto* documentColumn = new QVBoxLayout(documentPage);
  documentColumn->setContentsMargins(8, 0, 8, 0);
  documentColumn->setSpacing(0);
  // At most 440 high, in the middle of the room there is; longer documents
  // scroll inside it.
  document_ = new MarkdownScrollView(QString(), kDocumentMaxHeight, documentPage);
  document_->setMaximumHeight(kDocumentMaxHeight);
  document_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  documentColumn->addStretch();
  documentColumn->addWidget(document_, 1000);
  documentColumn->addStretch();
  body_->addWidget(loading_);
  body_->addWidget(failed_);
  body_->addWidget(documentPage);
  column->addWidget(body_, 1);

  column->addWidget(new CyberDividerLine(Palette::withOpacity(Palette::neonCyan, 0.4), this));
  auto* footer = new QHBoxLayout;
  footer->setContentsMargins(24, 16, 24, 16);
  footer->addStretch();
  close_ = makeButton(this);
  connect(close_, &NeonButton::clicked, this, &QDialog::reject);
  footer->addWidget(close_);
  column->addLayout(footer);

  for (const auto signal :
       {&AgreementViewModel::isLoadingChanged, &AgreementViewModel::errorChanged, &AgreementViewModel::contentChanged}) {
    connect(vm_, signal, this, &AgreementView::refresh);
  }
  retranslate();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &AgreementView::retranslate);
}

QWidget* AgreementView::buildLoadingPage() {
  auto* page = new QWidget(body_);
  auto* column = new QVBoxLayout(page);
  column->setSpacing(12);
  column->addStretch();
  column->addWidget(new ProgressSpinner(Palette::neonCyan, 32, page), 0, Qt::AlignHCenter);
  loadingText_ = makeText(page);
  column->addWidget(loadingText_);
  column->addStretch();
  return page;
}

QWidget* AgreementView::buildFailedPage() {
  auto* page = new QWidget(body_);
  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(24, 24, 24, 24);
  column->setSpacing(12);
  column->addStretch();
  auto* symbol = new QLabel(page);
  symbol->setPixmap(SymbolImage::pixmap(QStringLiteral("exclamationmark.triangle.fill"), 24, Palette::neonRed,
                                        devicePixelRatioF()));
  column->addWidget(symbol, 0, Qt::AlignHCenter);
  errorText_ = makeText(page);
  column->addWidget(errorText_);
  retry_ = makeButton(page);
  connect(retry_, &NeonButton::clicked, this, &AgreementView::load);
  column->addWidget(retry_, 0, Qt::AlignHCenter);
  column->addStretch();
  return page;
}

void AgreementView::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Each sheet fetches once when it first appears; a retry fetches again.
  if (loadStarted_) return;
  loadStarted_ = true;
  load();
}

void AgreementView::load() {
  // The language of this moment; the task reports through the model.
  vm_->load(type_, rawValue(LanguageManager::shared().current()));
}

QWidget* AgreementView::currentPage() const { return body_->currentWidget(); }

void AgreementView::refresh() {
  if (vm_->isLoading()) {
    body_->setCurrentWidget(loading_);
  } else if (vm_->error()) {
    errorText_->setText(*vm_->error());
    body_->setCurrentWidget(failed_);
  } else {
    document_->setText(vm_->content());
    body_->setCurrentWidget(document_->parentWidget());
  }
}

void AgreementView::retranslate() {
  setWindowTitle(title(type_));
  title_->setText(title(type_));
  loadingText_->setText(currentStrings().agreementLoading);
  retry_->setText(currentStrings().retry);
  close_->setText(currentStrings().agreementClose);
  refresh();
}

void AgreementView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  CyberBgGradient{}.paint(painter, QRectF(rect()));
  ScanlineTexture{0.02}.paint(painter, QRectF(rect()));
}
