#pragma once

#include <QWidget>

// The application's icon as the sign-in window shows it: rounded, glowing
// cyan, inside four cyan corner marks.
class AppIconBadge : public QWidget {
  Q_OBJECT

 public:
  explicit AppIconBadge(QWidget* parent = nullptr);

  static constexpr int side = 120;
  static constexpr int iconSide = 92;

  QSize sizeHint() const override { return QSize(side, side); }

 protected:
  void paintEvent(QPaintEvent* event) override;
};
