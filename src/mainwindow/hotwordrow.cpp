#include "mainwindow/hotwordrow.h"

#include "localization/appstrings.h"
#include "mainwindow/plainbutton.h"
#include "mainwindow/symbolview.h"
#include "mainwindow/textlabel.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QHBoxLayout>

HotWordRow::HotWordRow(const HotWordItem& item, QWidget* parent)
    : NeonCard(Palette::cyberBorder, 3, parent),
      item_(item),
      word_(new TextLabel(rajdhaniMedium(16), Palette::cyberTextPrimary, this)),
      edit_(new PlainButton(QString(), rajdhaniMedium(14), Palette::cyberTextSecondary, this)),
      delete_(new PlainButton(QString(), rajdhaniMedium(14), Palette::withOpacity(Palette::neonRed, 0.7), this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(20, 14, 20, 14);
  row->setSpacing(16);
  auto* symbol = new SymbolView(QStringLiteral("textformat"), 14, Palette::withOpacity(Palette::neonCyan, 0.6), this);
  symbol->setFrame(QSize(22, symbol->sizeHint().height()));
  symbol->setGlow(Glow{Palette::withOpacity(Palette::neonCyan, 0.3), 2});
  row->addWidget(symbol);
  word_->setText(item.word);
  row->addWidget(word_, 1);
  edit_->setSymbol(QStringLiteral("pencil"), 14);
  delete_->setSymbol(QStringLiteral("trash"), 14);
  retranslate();
  row->addWidget(edit_);
  row->addWidget(delete_);
  connect(edit_, &QAbstractButton::clicked, this, &HotWordRow::editRequested);
  connect(delete_, &QAbstractButton::clicked, this, &HotWordRow::deleteRequested);
}

void HotWordRow::retranslate() {
  // Symbols only: a screen reader hears what they do and to which word.
  const AppStrings& strings = currentStrings();
  edit_->setAccessibleName(strings.editHotword);
  edit_->setAccessibleDescription(item_.word);
  delete_->setAccessibleName(strings.delete_);
  delete_->setAccessibleDescription(item_.word);
}
