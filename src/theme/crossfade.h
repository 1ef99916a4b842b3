#pragma once

#include <QEasingCurve>
#include <QPixmap>
#include <QVariantAnimation>
#include <QWidget>

// A change of a whole view shown as a cross-fade: a picture of the view as it
// looked before the change lies over it and fades out, so the new look shows
// through. The picture lets every mouse event through and never takes the
// focus, so input goes on as if it were not there; it removes itself when the
// fade ends.
//
// Start it just before the change. On a view that is not shown nothing
// happens. A change during a fade starts a new fade from what is on screen at
// that moment.
class CrossFade : public QWidget {
  Q_OBJECT

 public:
  static CrossFade* start(QWidget* view, int durationMs, const QEasingCurve& curve);

  // The fade running over `view`, if any.
  static CrossFade* running(const QWidget* view);

  const QVariantAnimation& animation() const { return fade_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CrossFade(QWidget* view, const QPixmap& before, int durationMs, const QEasingCurve& curve);

  QPixmap before_;
  qreal opacity_ = 1;
  QVariantAnimation fade_;
};
