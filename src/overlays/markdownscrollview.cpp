#include "overlays/markdownscrollview.h"

#include "overlays/markdowntextview.h"

#include <QScrollBar>
#include <QVBoxLayout>

MarkdownScrollView::MarkdownScrollView(const QString& text, qreal maxHeight, QWidget* parent)
    : QWidget(parent), textView_(new MarkdownTextView(this)), renderer_(*textView_->document()), maxHeight_(maxHeight) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(textView_);
  setText(text);
}

void MarkdownScrollView::setText(const QString& text) {
  if (text == lastText_) return;
  lastText_ = text;
  renderer_.render(text);
  textView_->applyInsets();
  textView_->moveCursor(QTextCursor::Start);
  textView_->verticalScrollBar()->setValue(0);
  Q_EMIT textChanged();
}
