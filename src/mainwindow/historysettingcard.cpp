#include "mainwindow/historysettingcard.h"

#include "mainwindow/symbolview.h"
#include "mainwindow/textlabel.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

HistorySettingCard::HistorySettingCard(const QString& symbol, const QColor& symbolColor, bool alignTop, QWidget* parent)
    : TextBox(parent, 0.25),
      title_(new TextLabel(rajdhaniSemiBold(14), Palette::cyberTextPrimary, this)),
      subtitle_(new TextLabel(rajdhaniMedium(12), Palette::cyberTextSecondary, this)),
      alignTop_(alignTop) {
  const Qt::Alignment alignment = alignTop ? Qt::AlignTop : Qt::AlignVCenter;
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(16, 16, 16, 16);
  row->setSpacing(14);
  row->addWidget(new SymbolView(symbol, 22, symbolColor, this), 0, alignment);
  auto* texts = new QVBoxLayout;
  texts->setSpacing(4);
  texts->addWidget(title_);
  texts->addWidget(subtitle_);
  subtitle_->setWordWrap(alignTop);
  row->addLayout(texts, 1);
}

void HistorySettingCard::setTexts(const QString& title, const QString& subtitle) {
  title_->setText(title);
  subtitle_->setText(subtitle);
}

void HistorySettingCard::setControl(QWidget* control) {
  control->setParent(this);
  static_cast<QHBoxLayout*>(layout())->addWidget(control, 0, alignTop_ ? Qt::AlignTop : Qt::AlignVCenter);
}
