#include "mainwindow/wrappingtext.h"

#include "theme/palette.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QTextDocument>

#include <cmath>
#include <memory>

WrappingText::WrappingText(const QFont& font, const QColor& color, Qt::Alignment alignment, QWidget* parent)
    : QTextEdit(parent) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setFont(font);
  document()->setDocumentMargin(0);
  QTextOption option = document()->defaultTextOption();
  option.setAlignment(alignment);
  document()->setDefaultTextOption(option);
  viewport()->setAutoFillBackground(false);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Palette::clear);
  colours.setColor(QPalette::Text, color);
  colours.setColor(QPalette::Highlight, Palette::withOpacity(Palette::neonCyan, 0.35));
  colours.setColor(QPalette::HighlightedText, Palette::cyberTextPrimary);
  setPalette(colours);
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

void WrappingText::setText(const QString& text) {
  if (text == toPlainText()) return;
  setPlainText(text);
  updateGeometry();
}

int WrappingText::heightForWidth(int width) const {
  // Laid out on a copy, so that asking never disturbs what is shown.
  const std::unique_ptr<QTextDocument> copy(document()->clone());
  copy->setTextWidth(width);
  return int(std::ceil(copy->size().height()));
}

QSize WrappingText::sizeHint() const {
  const QFontMetrics metrics(font());
  int widest = 0;
  for (const QString& line : toPlainText().split(QLatin1Char('\n'))) {
    widest = std::max(widest, metrics.horizontalAdvance(line));
  }
  // A pixel more than the ideal width, so that rounding never wraps one line.
  const int width = widest + 1;
  return {width, heightForWidth(width)};
}

QSize WrappingText::minimumSizeHint() const {
  const QFontMetrics metrics(font());
  return {metrics.averageCharWidth() * 4, metrics.height()};
}

void WrappingText::resizeEvent(QResizeEvent* event) {
  QTextEdit::resizeEvent(event);
  // A new width may need another number of lines.
  if (height() != heightForWidth(width())) updateGeometry();
}
