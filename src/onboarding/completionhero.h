#pragma once

#include <QWidget>

// The top of the completion page: a large green check in a glowing ring.
class CompletionHero : public QWidget {
  Q_OBJECT

 public:
  explicit CompletionHero(QWidget* parent = nullptr);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRectF ring() const;
};
