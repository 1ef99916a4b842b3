#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// An indeterminate progress spinner: an arc turning in one colour. It turns
// only while shown, so a hidden spinner costs no timer.
class Spinner : public QWidget {
  Q_OBJECT

 public:
  Spinner(const QColor& color, qreal diameter, QWidget* parent = nullptr);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QColor color_;
  qreal diameter_;
  int angle_ = 0;
  QTimer timer_;
};
