#pragma once

#include <QScrollArea>

// A vertical scroll area for the pages: no frame, no background of its own
// (the page shows through), a slim scroll bar in the theme's colours, and
// content as wide as the area.
class ThemedScrollArea : public QScrollArea {
  Q_OBJECT

 public:
  explicit ThemedScrollArea(QWidget* parent = nullptr);

  // The widget inside, made by the area, to give a layout to.
  QWidget* content() const { return widget(); }
};
