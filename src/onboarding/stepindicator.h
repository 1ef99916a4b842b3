#pragma once

#include "onboarding/onboardingstep.h"

#include <QWidget>

// The row of eight numbered circles at the top of the flow, joined by thin
// connectors: steps behind the user show a green check, the current one is
// lit cyan and glows, the ones ahead are dim. The connectors share the width
// left after the circles.
class StepIndicator : public QWidget {
  Q_OBJECT

 public:
  explicit StepIndicator(OnboardingStep current, QWidget* parent = nullptr);

  OnboardingStep current() const { return current_; }
  void setCurrent(OnboardingStep step);

  // The circle of a step in this widget's coordinates.
  QRectF circleRect(OnboardingStep step) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void paintItem(QPainter& painter, OnboardingStep step) const;

  OnboardingStep current_;
};
