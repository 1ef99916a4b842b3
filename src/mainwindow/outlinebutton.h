#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QString>

// A light button: an optional symbol and a text in one colour on an outlined
// shape (a capsule unless a corner radius is given), optionally tinted. For
// actions that should not draw the eye, or that sit among texts.
class OutlineButton : public QAbstractButton {
  Q_OBJECT

 public:
  OutlineButton(const QFont& font, const QColor& textColor, const QColor& outline, QWidget* parent = nullptr);

  void setSymbol(const QString& name, qreal pointSize);
  void setFill(const QColor& fill);
  void setCornerRadius(qreal radius);
  // Room around the label (10 left and right, 5 above and below unless set).
  void setPadding(qreal horizontal, qreal vertical);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

  static constexpr qreal spacing = 5;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QFont font_;
  QColor textColor_;
  QColor outline_;
  QColor fill_ = Qt::transparent;
  QString symbol_;
  qreal symbolSize_ = 0;
  qreal cornerRadius_ = -1;  // a capsule
  qreal horizontalPadding_ = 10;
  qreal verticalPadding_ = 5;
};
