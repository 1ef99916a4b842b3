#pragma once

#include <QColor>
#include <QWidget>

// A filled circle with a number cut out of it, the marker of an instruction
// ("1", "2", "3"), centred in a square frame.
class NumberedCircle : public QWidget {
  Q_OBJECT

 public:
  NumberedCircle(int number, qreal pointSize, const QColor& color, qreal frameSide, QWidget* parent = nullptr);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int number_;
  qreal pointSize_;
  QColor color_;
  qreal frameSide_;
};
