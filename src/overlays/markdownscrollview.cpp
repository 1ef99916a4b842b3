#include "overlays/markdownscrollview.h"

#include "overlays/markdownrenderer.h"
#include "overlays/markdowntextview.h"

#include <QScrollBar>
#include <QVBoxLayout>

MarkdownScrollView::MarkdownScrollView(const QString& text, qreal maxHeight, QWidget* parent)
    : QWidget(parent), textView_(new MarkdownTextView(this)), maxHeight_(maxHeight) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(textView_);
  setText(text);
}

void MarkdownScrollView::setText(const QString& text) {
  if (text == lastText_) return;
  lastText_ = text;
  renderMarkdown(text, *textView_->document());
  textView_->applyInsets();
  textView_->moveCursor(QTextCursor::Start);
  textView_->verticalScrollBar()->setValue(0);
  Q_EMIT textChanged();
}
