#include "onboarding/progressbutton.h"

#include "mainwindow/progressspinner.h"

#include <QPainter>

ProgressButton::ProgressButton(const QColor& color, QWidget* parent) : NeonButton(QString(), color, parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
}

void ProgressButton::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  // A spinner of the colour of this moment: the button keeps one colour
  // while it is busy.
  delete spinner_;
  spinner_ = nullptr;
  if (busy_) {
    spinner_ = new ProgressSpinner(color(), 16, this);
    placeSpinner();
    spinner_->show();
  }
  update();
}

void ProgressButton::placeSpinner() {
  if (!spinner_) return;
  spinner_->move((width() - spinner_->width()) / 2, (height() - spinner_->height()) / 2);
}

void ProgressButton::resizeEvent(QResizeEvent* event) {
  NeonButton::resizeEvent(event);
  placeSpinner();
}

void ProgressButton::paintEvent(QPaintEvent* event) {
  if (!busy_) {
    NeonButton::paintEvent(event);
    return;
  }
  // The button without its label; the spinner draws itself on top.
  QPainter painter(this);
  const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  if (!isEnabled()) painter.setOpacity(NeonButtonStyle::disabledOpacity);
  NeonButtonStyle{color()}.paintBody(painter, shape, false);
}
