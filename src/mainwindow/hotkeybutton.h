#pragma once

#include <QAbstractButton>
#include <QColor>

class GlowEffect;

// The button that shows a hotkey (or the prompt to press one): its text in the
// accent colour on a rounded, faintly filled and outlined backing that glows
// in the accent. At least 110 wide, so the rows line up.
class HotKeyButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit HotKeyButton(QWidget* parent = nullptr);

  QColor accent() const { return accent_; }
  void setAccent(const QColor& accent);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor accent_;
  GlowEffect* glow_;
};
