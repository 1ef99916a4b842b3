#pragma once

#include <QWidget>

// The program's own icon, 40 by 40 with rounded corners, glowing cyan: the
// head of the sidebar.
class AppIconView : public QWidget {
  Q_OBJECT

 public:
  explicit AppIconView(QWidget* parent = nullptr);

  static constexpr int side = 40;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
