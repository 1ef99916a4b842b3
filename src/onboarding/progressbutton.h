#pragma once

#include "theme/neonbutton.h"

class ProgressSpinner;

// A full-width NeonButton whose label gives way to a small spinner in the
// button's colour while the operation it started is running. The text stays
// the button's, so its size does not jump when the spinner appears.
class ProgressButton : public NeonButton {
  Q_OBJECT
  Q_PROPERTY(bool busy READ isBusy WRITE setBusy)

 public:
  explicit ProgressButton(const QColor& color, QWidget* parent = nullptr);

  bool isBusy() const { return busy_; }
  void setBusy(bool busy);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void placeSpinner();

  bool busy_ = false;
  ProgressSpinner* spinner_ = nullptr;
};
