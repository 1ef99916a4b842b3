#pragma once

#include <QPainterPath>
#include <QWidget>

// What a floating panel shows: a view that draws a card and says where the
// card's outline runs, so that the panel can cut its window to that outline
// where the desktop cannot show see-through windows.
class OverlayContentView : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;

  // The card's outline in the view's coordinates; the whole view by default.
  virtual QPainterPath outline() const;

 Q_SIGNALS:
  // The card took another shape while the view kept its size.
  void outlineChanged();
};
