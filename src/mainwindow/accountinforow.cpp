#include "mainwindow/accountinforow.h"

#include "mainwindow/textlabel.h"
#include "mainwindow/wrappingtext.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QHBoxLayout>

AccountInfoRow::AccountInfoRow(QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  label_ = new TextLabel(rajdhaniSemiBold(12), Palette::cyberTextTertiary, this);
  value_ = new WrappingText(rajdhaniMedium(13), Palette::cyberTextPrimary, Qt::AlignRight, this);
  row->addWidget(label_);
  row->addStretch();
  row->addWidget(value_);
}

void AccountInfoRow::setTexts(const QString& label, const QString& value) {
  label_->setText(label);
  value_->setText(value);
}

QString AccountInfoRow::label() const { return label_->text(); }

QString AccountInfoRow::value() const { return value_->text(); }
