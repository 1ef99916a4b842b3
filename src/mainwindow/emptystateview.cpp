#include "mainwindow/emptystateview.h"

#include "mainwindow/symbolview.h"
#include "theme/glowlabel.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QVBoxLayout>

EmptyStateView::EmptyStateView(const QString& symbol, const QColor& textColor, QWidget* parent)
    : QWidget(parent),
      symbol_(new SymbolView(symbol, 48, Palette::cyberTextTertiary, this)),
      label_(new GlowLabel(QString(), textColor, 16, QFont::ExtraBold, this)),
      action_(new NeonButton(QString(), Palette::neonCyan, this)) {
  label_->setTextFormat(Qt::PlainText);
  label_->setAlignment(Qt::AlignCenter);
  label_->setWordWrap(true);
  auto* column = new QVBoxLayout(this);
  column->setSpacing(16);
  column->addStretch(1);
  column->addWidget(symbol_, 0, Qt::AlignHCenter);
  // The whole width, so that a long message wraps onto the lines it needs;
  // the label centres each line itself.
  column->addWidget(label_);
  column->addWidget(action_, 0, Qt::AlignHCenter);
  column->addStretch(1);
  action_->hide();
  connect(action_, &QAbstractButton::clicked, this, &EmptyStateView::actionTriggered);
}

void EmptyStateView::setText(const QString& text) { label_->setText(text); }

QString EmptyStateView::text() const { return label_->text(); }

void EmptyStateView::setAction(const QString& title) {
  action_->setText(title);
  action_->setVisible(!title.isEmpty());
}
