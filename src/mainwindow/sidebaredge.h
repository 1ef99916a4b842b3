#pragma once

#include <QWidget>

// The line between the sidebar and the page: 1 wide, cyan fading in from the
// top, turning green and fading out at the bottom, with a soft cyan glow that
// falls on both sides. Keep it above the page so the glow shows over it.
class SidebarEdge : public QWidget {
  Q_OBJECT

 public:
  explicit SidebarEdge(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
