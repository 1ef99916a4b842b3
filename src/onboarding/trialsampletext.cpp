#include "onboarding/trialsampletext.h"

#include "onboarding/roundedplate.h"
#include "onboarding/themedtextarea.h"
#include "theme/palette.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
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
  styleTextArea(text_, accent);
  text_->document()->setDocumentMargin(0);
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
  paintRoundedPlate(painter, QRectF(rect()), 8, Palette::withOpacity(accent_, 0.03), Palette::withOpacity(accent_, 0.3),
                    1);
}
