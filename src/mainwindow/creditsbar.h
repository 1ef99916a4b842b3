#pragma once

#include <QColor>
#include <QWidget>

// How much of the plan's credits is left: a 5-high track across the width
// and, over it from the leading edge, a glowing bar of that fraction in the
// credits colour.
class CreditsBar : public QWidget {
  Q_OBJECT

 public:
  explicit CreditsBar(QWidget* parent = nullptr);

  void setFraction(double fraction, const QColor& color);
  double fraction() const { return fraction_; }
  QColor color() const { return color_; }

  QSize sizeHint() const override { return QSize(100, 5); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double fraction_ = 0;
  QColor color_;
};
