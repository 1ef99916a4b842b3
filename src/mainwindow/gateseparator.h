#pragma once

#include <QColor>
#include <QWidget>

// A one-pixel line across a view, optionally starting `inset` from the
// leading edge (so it lines up with the text of the rows it separates).
class GateSeparator : public QWidget {
  Q_OBJECT

 public:
  explicit GateSeparator(const QColor& color, int inset = 0, QWidget* parent = nullptr);

  QSize sizeHint() const override { return QSize(0, 1); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_;
  int inset_;
};
