#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QString>

// A plain button as wide as its container: a symbol and a text side by side,
// centred, in one colour, dimmed while pressed. The account popover's "My
// Invite Codes" and "Log out" rows.
class RowButton : public QAbstractButton {
  Q_OBJECT

 public:
  RowButton(const QString& symbol, qreal symbolSize, const QFont& font, const QColor& color,
            qreal verticalPadding, QWidget* parent = nullptr);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  static constexpr qreal kSpacing = 8;

  QString symbol_;
  qreal symbolSize_;
  QFont font_;
  QColor color_;
  qreal verticalPadding_;
};
