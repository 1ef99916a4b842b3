#include "overlays/markdownscrollview.h"

#include "overlays/markdowntextview.h"

#include <QScrollBar>
#include <QShowEvent>
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
  startAtTheTop();
  Q_EMIT textChanged();
}

void MarkdownScrollView::startAtTheTop() {
  textView_->moveCursor(QTextCursor::Start);
  textView_->verticalScrollBar()->setValue(0);
}

void MarkdownScrollView::showEvent(QShowEvent* event) {
  // Only a showing the program asked for: a window given back by the window
  // manager (restored from a minimised state) keeps what the user left.
  if (!event->spontaneous()) startAtTheTop();
  QWidget::showEvent(event);
}
