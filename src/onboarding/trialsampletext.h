#pragma once

#include <QColor>
#include <QWidget>

class QTextEdit;

// The read-only sample of the rewriting exercise: text the user can select
// (and copy) with the mouse or the keyboard but not change, on a faint
// rounded plate. The text is a read-only text widget, so the selection
// capture reads a selection in it as selected text in an element that is not
// editable. It is as tall as its text.
class TrialSampleText : public QWidget {
  Q_OBJECT

 public:
  explicit TrialSampleText(const QColor& accent, QWidget* parent = nullptr);

  void setSample(const QString& text);
  QString sample() const;
  QTextEdit* textView() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fitHeight();

  QColor accent_;
  QTextEdit* text_;
};
