#pragma once

#include <QColor>
#include <QFont>
#include <QMarginsF>
#include <QWidget>

// A small word on a rounded, tinted backing, optionally outlined: the tier of
// the account, a persona's "Active", a prompt's state, an invite code's
// "Available" or "Used".
class BadgeLabel : public QWidget {
  Q_OBJECT

 public:
  struct Look {
    QFont font;
    QColor textColor;
    QColor fill;
    QColor stroke;  // invalid: no outline
    qreal strokeWidth = 0;
    qreal radius = 4;
    QMarginsF padding{6, 2, 6, 2};
  };

  explicit BadgeLabel(const Look& look, QWidget* parent = nullptr);

  QString text() const { return text_; }
  void setText(const QString& text);
  const Look& look() const { return look_; }
  void setLook(const Look& look);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Look look_;
  QString text_;
};
