#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

class QPainter;

// An indeterminate progress spinner: a ring with a bright arc running round
// it, tinted in one colour. It turns only while shown, so a hidden spinner
// costs nothing.
class ActivityIndicator : public QWidget {
  Q_OBJECT

 public:
  // `side`: 16 for the small spinner of a button, 32 for the regular one.
  ActivityIndicator(const QColor& tint, int side, QWidget* parent = nullptr);

  QSize sizeHint() const override { return QSize(side_, side_); }

  // One frame of a spinner of `tint` in `box`, its arc starting at `degrees`.
  static void paint(QPainter& painter, const QRectF& box, const QColor& tint, int degrees);

  // The angle of the arc now: every spinner turns in step, once a second.
  static int currentAngle();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QColor tint_;
  int side_;
  QTimer frames_;
};
