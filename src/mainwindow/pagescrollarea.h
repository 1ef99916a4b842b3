#pragma once

#include <QScrollArea>

// The vertical scroll view of a page: transparent, so the page's background
// shows through, without a frame, with a slim scroll bar in the theme's dim
// text colour. The content takes the viewport's width.
class PageScrollArea : public QScrollArea {
  Q_OBJECT

 public:
  explicit PageScrollArea(QWidget* content, QWidget* parent = nullptr);
};
