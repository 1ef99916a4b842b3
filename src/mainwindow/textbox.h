#pragma once

#include <QWidget>

// A dark well for a longer text (a transcript, a result): a rounded
// rectangle of black at 0.3 outlined in the border colour. Give it a layout
// with the padding its content wants.
class TextBox : public QWidget {
  Q_OBJECT

 public:
  explicit TextBox(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
