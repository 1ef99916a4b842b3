#pragma once

#include <QWidget>

// A dark well for a longer text (a transcript, a result) or a small
// setting: a rounded rectangle (radius 8) of black at `darkness` outlined in
// the border colour. Give it a layout with the padding its content wants.
class TextBox : public QWidget {
  Q_OBJECT

 public:
  explicit TextBox(QWidget* parent = nullptr, qreal darkness = 0.3);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  qreal darkness_;
};
