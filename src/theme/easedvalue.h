#pragma once

#include <QColor>
#include <QEasingCurve>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QVariant>
#include <QVariantAnimation>

class QWidget;

// A value a widget draws (a colour, a height, a progress) that eases to each
// new target over a fixed time instead of jumping, repainting its widget at
// every step that changes it.
//
// A new target set mid-way starts again from the value drawn at that moment.
// While the widget is not shown there is nothing to watch: the value jumps
// straight to its target. target() is always the end state, so code that
// decides by the value reads it there, never from what is drawn.
class EasedValue : public QObject {
  Q_OBJECT

 public:
  EasedValue(const QVariant& initial, int durationMs, const QEasingCurve& curve, QWidget* owner);

  // Eases towards `target` (jumps while the owner is hidden).
  void setTarget(const QVariant& target);
  // The time and curve of later easings.
  void setTiming(int durationMs, const QEasingCurve& curve);
  // Each step repaints only `area` of the owner, where the value is drawn
  // (the whole owner while `area` is null).
  void setRepaintArea(const QRect& area) { repaintArea_ = area; }
  // Eases from `start` to `target`. `start` must look as the owner is drawn
  // now: nothing is repainted for it (a progress that starts over from 0).
  void easeFrom(const QVariant& start, const QVariant& target);
  // Sets the value at once, stopping any easing.
  void jumpTo(const QVariant& target);
  // Ends a running easing where it was going.
  void finish() { jumpTo(target_); }

  QVariant value() const { return value_; }
  QVariant target() const { return target_; }
  bool isRunning() const { return animation_.state() == QAbstractAnimation::Running; }
  const QVariantAnimation& animation() const { return animation_; }

 Q_SIGNALS:
  // Every step, and the jump to a new target.
  void changed(const QVariant& value);

 private:
  void step(const QVariant& value);
  // `fraction` of the way from `from` to `to`: numbers and colours ease, any
  // other value changes at once.
  static QVariant interpolate(const QVariant& from, const QVariant& to, qreal fraction);

  QPointer<QWidget> owner_;
  QRect repaintArea_;
  QVariant value_;
  QVariant from_;
  QVariant target_;
  QVariantAnimation animation_;
};

// The colour a fraction `t` (0 to 1) of the way from `from` to `to`, alpha
// included.
QColor mixColors(const QColor& from, const QColor& to, qreal t);
