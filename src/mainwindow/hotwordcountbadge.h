#pragma once

#include <QWidget>

// How many hotwords the user holds against the limit ("7/30"): muted while
// there is room, red once the limit is reached.
class HotWordCountBadge : public QWidget {
  Q_OBJECT

 public:
  explicit HotWordCountBadge(QWidget* parent = nullptr);

  void setCount(qsizetype count);
  QString text() const;
  bool isFull() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  qsizetype count_ = 0;
};
