#pragma once

#include <QAbstractButton>
#include <QColor>

// The small "xmark" button in a panel's top-right corner, optionally on a
// tinted disc. It never takes the keyboard focus.
class OverlayCloseButton : public QAbstractButton {
  Q_OBJECT

 public:
  struct Style {
    qreal symbolSize = 11;
    QColor color;
    // The side of the button; the disc fills it when `disc` is visible.
    qreal side = 22;
    QColor disc = Qt::transparent;
  };

  explicit OverlayCloseButton(const Style& style, QWidget* parent = nullptr);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Style style_;
};
