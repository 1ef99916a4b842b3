#pragma once

#include <QWidget>

// The top of the welcome page: the application's icon, rounded and glowing,
// inside four corner brackets.
class WelcomeHero : public QWidget {
  Q_OBJECT

 public:
  explicit WelcomeHero(QWidget* parent = nullptr);

  QSize sizeHint() const override { return QSize(130, 130); }

 protected:
  void paintEvent(QPaintEvent* event) override;
};
