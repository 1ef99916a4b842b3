#pragma once

#include "overlays/markdownrenderer.h"

#include <QString>
#include <QWidget>

class MarkdownTextView;

// A markdown text shown as styled, read-only, selectable rich text in a
// vertically scrolling area with a transparent background; links open in the
// desktop's browser or mail program. The result panel, the history card, the
// home page and the sign-in's agreement view embed it and give it its height
// through their own layout.
//
// A new text is rendered at once and the view scrolls back to the top; setting
// the text it already shows changes nothing, so the user's selection and
// scroll position survive a parent that passes the same text again while it
// is on screen. Shown anew (its window, or the view itself, was hidden), it
// starts at the top with nothing selected: a highlight left from an earlier
// showing would turn the user's next press inside it into a drag of the old
// words instead of a new selection. The view keeps its renderer, so that a
// text that grows (an answer streaming in) renders only what changed at its
// end.
class MarkdownScrollView : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)

 public:
  // `maxHeight` is kept for the embedding view's reference only: the size is
  // whatever the embedding layout gives the view.
  explicit MarkdownScrollView(const QString& text = QString(), qreal maxHeight = 0, QWidget* parent = nullptr);

  QString text() const { return lastText_; }
  void setText(const QString& text);

  qreal maxHeight() const { return maxHeight_; }
  void setMaxHeight(qreal maxHeight) { maxHeight_ = maxHeight; }

  MarkdownTextView* textView() const { return textView_; }

  // Clears the selection and scrolls back to the beginning of the text.
  void startAtTheTop();

 Q_SIGNALS:
  void textChanged();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  MarkdownTextView* textView_;
  MarkdownRenderer renderer_;
  QString lastText_;
  qreal maxHeight_;
};
