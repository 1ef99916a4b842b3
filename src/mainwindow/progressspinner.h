#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// A small indeterminate progress indicator: an arc turning in one colour.
// It turns only while it is on screen, so a hidden spinner costs nothing.
class ProgressSpinner : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressSpinner(const QColor& color, int side = 16, QWidget* parent = nullptr);

  QColor color() const { return color_; }
  bool isSpinning() const { return timer_.isActive(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QColor color_;
  QTimer timer_;
  int angle_ = 0;
};
