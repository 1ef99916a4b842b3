#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QVariantAnimation>

class GlowEffect;

// The themed switch: a 44 x 24 track with an 18-point knob that springs to the
// right when on. On, track and knob take `color` and glow in it; off, they are
// dark and dim. Clicking flips `checked` (toggled is emitted as usual).
class NeonToggle : public QAbstractButton {
  Q_OBJECT

 public:
  explicit NeonToggle(const QColor& color, QWidget* parent = nullptr);

  QColor color() const { return color_; }

  QSize sizeHint() const override { return QSize(44, 24); }
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void follow(bool animated);

  QColor color_;
  qreal knobOffset_ = -10;  // from the track's centre
  QVariantAnimation knob_;
  GlowEffect* glow_;
};
