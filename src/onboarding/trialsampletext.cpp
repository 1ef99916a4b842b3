#include "onboarding/trialsampletext.h"

#include "theme/fonts.h"
#include "theme/palette.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPainterPath>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int kPadding = 14;
constexpr qreal kLineSpacing = 5;
}  // namespace

TrialSampleText::TrialSampleText(const QColor& accent, QWidget* parent) : QWidget(parent), accent_(accent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
  text_ = new QTextEdit;
  text_->setReadOnly(true);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text_->setFocusPolicy(Qt::StrongFocus);
  text_->setFont(rajdhaniMedium(14));
  text_->setFrameShape(QFrame::NoFrame);
  text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  text_->document()->setDocumentMargin(0);
  text_->viewport()->setAutoFillBackground(false);
  QPalette colours = text_->palette();
  colours.setColor(QPalette::Base, Palette::clear);
  colours.setColor(QPalette::Text, Palette::cyberTextPrimary);
  colours.setColor(QPalette::Highlight, Palette::withOpacity(accent, 0.35));
  colours.setColor(QPalette::HighlightedText, Palette::cyberTextPrimary);
  text_->setPalette(colours);
  layout->addWidget(text_);
  connect(text_->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
          &TrialSampleText::fitHeight);
}

void TrialSampleText::setSample(const QString& text) {
  text_->setPlainText(text);
  // Extra space between the lines, for the whole paragraph.
  QTextCursor cursor(text_->document());
  cursor.select(QTextCursor::Document);
  QTextBlockFormat format;
  format.setLineHeight(kLineSpacing, QTextBlockFormat::LineDistanceHeight);
  cursor.mergeBlockFormat(format);
  fitHeight();
}

QString TrialSampleText::sample() const { return text_->toPlainText(); }

void TrialSampleText::fitHeight() {
  const qreal documentHeight = text_->document()->documentLayout()->documentSize().height();
  text_->setFixedHeight(int(std::ceil(documentHeight)));
}

void TrialSampleText::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  fitHeight();
}

void TrialSampleText::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath plate;
  plate.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
  painter.fillPath(plate, Palette::withOpacity(accent_, 0.03));
  painter.strokePath(plate, QPen(Palette::withOpacity(accent_, 0.3), 1));
}
