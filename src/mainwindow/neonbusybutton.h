#pragma once

#include "theme/neonbuttonstyle.h"

#include <QAbstractButton>
#include <QFont>
#include <QTimer>

class GlowEffect;

// A neon button that can show that its work is under way: while busy a small
// turning arc stands before its text. Otherwise it looks like any neon
// button, and like one it is dimmed while disabled.
class NeonBusyButton : public QAbstractButton {
  Q_OBJECT

 public:
  NeonBusyButton(const QColor& color, const QFont& labelFont, QWidget* parent = nullptr);

  bool isBusy() const { return busy_; }
  void setBusy(bool busy);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

  static constexpr qreal spinnerSide = 12;
  static constexpr qreal spacing = 8;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  NeonButtonStyle style_;
  QFont font_;
  bool busy_ = false;
  int angle_ = 0;
  QTimer turn_;
};
