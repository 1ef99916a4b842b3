#include "mainwindow/sectionheader.h"

#include "mainwindow/symbolview.h"
#include "theme/glowlabel.h"

#include <QHBoxLayout>

SectionHeader::SectionHeader(const QString& symbol, const QColor& color, QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(8);
  row->addWidget(new SymbolView(symbol, 14, color, this));
  title_ = new GlowLabel(QString(), color, 14, QFont::ExtraBold, this);
  row->addWidget(title_);
  row->addStretch();
}

void SectionHeader::setTitle(const QString& title) { title_->setText(title); }

QString SectionHeader::title() const { return title_->text(); }
