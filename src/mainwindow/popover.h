#pragma once

#include <QPointer>
#include <QWidget>

// A bubble that hangs from a button, with a small arrow pointing at it, and
// closes when the user clicks anywhere outside it or presses Escape. `top`
// hangs it above the anchor, `trailing` to its right.
//
// A click on the anchor itself only closes the bubble: it does not reach the
// anchor again, so a button that toggles its popover closes it on the second
// press instead of opening it anew.
//
// The bubble takes its content's size; the content paints on the bubble's
// panel colour. Whoever shows it learns of every closing through dismissed().
// Screen readers find it among the program's windows, named by its content's
// accessible name.
class Popover : public QWidget {
  Q_OBJECT

 public:
  enum class ArrowEdge { top, trailing };

  Popover(QWidget* anchor, ArrowEdge edge, QWidget* content);

  QWidget* content() const { return content_; }
  ArrowEdge arrowEdge() const { return edge_; }

  // Places the bubble next to the anchor (kept on the anchor's screen) and
  // shows it. When its content grows later, the bubble is placed again.
  void present();

  static constexpr int arrowLength = 8;
  static constexpr int arrowWidth = 16;
  static constexpr qreal cornerRadius = 10;

 Q_SIGNALS:
  void dismissed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPainterPath bubble() const;
  QRect placement() const;
  void aimArrow(const QRect& place);

  QPointer<QWidget> anchor_;
  ArrowEdge edge_;
  QWidget* content_;
  // Where the arrow's tip lies along its edge, in the bubble's coordinates.
  int arrowOffset_ = 0;
};
