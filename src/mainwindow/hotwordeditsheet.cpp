#include "mainwindow/hotwordeditsheet.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/hotwordinput.h"
#include "mainwindow/textlabel.h"
#include "theme/cybertextfield.h"
#include "theme/fonts.h"
#include "theme/glowlabel.h"
#include "theme/neonbutton.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

HotWordEditSheet::HotWordEditSheet(std::optional<HotWordItem> item, SaveAction onSave, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      item_(std::move(item)),
      onSave_(std::move(onSave)),
      title_(new NeonTitleLabel(QString(), {Palette::neonCyan, Palette::neonGreen}, 20, this)),
      fieldLabel_(new GlowLabel(QString(), Palette::cyberTextSecondary, 13, QFont::ExtraBold, this)),
      counter_(new TextLabel(rajdhaniMedium(12), Palette::cyberTextTertiary, this)),
      field_(new CyberTextField(Palette::neonCyan, this)),
      errorLabel_(new TextLabel(rajdhaniMedium(12), Palette::neonRed, this)),
      cancel_(new NeonButton(QString(), Palette::cyberTextSecondary, this)),
      save_(new NeonButton(QString(), Palette::neonCyan, this)) {
  setWindowModality(Qt::WindowModal);
  setFixedWidth(sheetWidth);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(32, 32, 32, 32);
  column->setSpacing(28);
  column->addWidget(title_, 0, Qt::AlignHCenter);

  auto* fieldBlock = new QVBoxLayout;
  fieldBlock->setSpacing(8);
  auto* labelRow = new QHBoxLayout;
  labelRow->addWidget(fieldLabel_);
  labelRow->addStretch(1);
  labelRow->addWidget(counter_);
  fieldBlock->addLayout(labelRow);
  fieldBlock->addWidget(field_);
  errorLabel_->setWordWrap(true);
  errorLabel_->hide();
  fieldBlock->addWidget(errorLabel_);
  column->addLayout(fieldBlock);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cancel_);
  buttons->addStretch(1);
  buttons->addWidget(save_);
  column->addLayout(buttons);

  connect(field_, &QLineEdit::textChanged, this, [this] {
    error_.reset();
    render();
  });
  connect(cancel_, &QAbstractButton::clicked, this, &QDialog::reject);
  connect(save_, &QAbstractButton::clicked, this, &HotWordEditSheet::save);
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &HotWordEditSheet::render);

  if (item_) field_->setText(item_->word);
  render();
}

QString HotWordEditSheet::word() const { return field_->text(); }

bool HotWordEditSheet::canSave() const { return HotWordInput::canSave(word(), maxLength); }

void HotWordEditSheet::render() {
  const AppStrings& strings = currentStrings();
  title_->setText(item_ ? strings.editHotword : strings.newHotword);
  fieldLabel_->setText(strings.dictStandardWord);
  field_->setPlaceholderText(strings.dictPlaceholder);
  const qsizetype count = HotWordInput::length(word());
  counter_->setText(strings.charCount(count, maxLength));
  counter_->setColor(count > maxLength ? Palette::neonRed : Palette::cyberTextTertiary);
  cancel_->setText(strings.cancel);
  save_->setText(item_ ? strings.save : strings.add);
  save_->setEnabled(canSave() && !isSaving_);
  errorLabel_->setVisible(error_.has_value());
  errorLabel_->setText(error_.value_or(QString()));
  fitHeight();
}

void HotWordEditSheet::fitHeight() {
  // Measured at the sheet's own width: a long error wraps onto more lines
  // there than at the width the layout would like, and must not squeeze the
  // field to make room.
  if (QLayout* column = layout()) {
    column->activate();
    resize(sheetWidth, column->hasHeightForWidth() ? column->totalHeightForWidth(sheetWidth)
                                                   : column->totalSizeHint().height());
  }
}

void HotWordEditSheet::showError(const QString& message) {
  error_ = message;
  render();
}

void HotWordEditSheet::save() {
  if (!canSave() || isSaving_) return;
  isSaving_ = true;
  render();
  runSave(HotWordInput::trimmed(word()));
}

QCoro::Task<void> HotWordEditSheet::runSave(QString word) {
  QPointer<HotWordEditSheet> self(this);
  SaveAction action = onSave_;
  if (action) co_await action(std::move(word));
  // The page may have closed the sheet meanwhile.
  if (!self) co_return;
  isSaving_ = false;
  render();
}

void HotWordEditSheet::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    save();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);  // Escape rejects
}

void HotWordEditSheet::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A sheet hangs in the middle of the window it belongs to.
  if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr) {
    fitHeight();
    const QPoint centre = owner->mapToGlobal(owner->rect().center());
    move(centre.x() - width() / 2, centre.y() - height() / 2);
  }
  field_->setFocus();
}

void HotWordEditSheet::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Palette::black);
  painter.fillRect(rect(), Palette::cyberPanelBg);
  painter.setPen(QPen(Palette::cyberBorder, 1));
  painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
