#pragma once

#include <QColor>
#include <QWidget>

// The agent's mark on its cards: the lobster on a tinted rounded square,
// 68 by 68, outlined in the card's colour.
class OpenClawIconBox : public QWidget {
  Q_OBJECT

 public:
  explicit OpenClawIconBox(const QColor& color, QWidget* parent = nullptr);

  static constexpr int side = 68;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_;
};
