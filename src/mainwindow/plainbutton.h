#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QString>

// A button without chrome: an optional symbol and a text in one colour,
// dimmed while pressed. For the quiet actions beside a neon button
// ("Refresh", "Manage").
class PlainButton : public QAbstractButton {
  Q_OBJECT

 public:
  PlainButton(const QString& text, const QFont& font, const QColor& color, QWidget* parent = nullptr);

  // A symbol before the text, at `pointSize`.
  void setSymbol(const QString& name, qreal pointSize);
  void setColor(const QColor& color);
  // The gap between the symbol and the text (5 unless set).
  void setSpacing(qreal spacing);
  QString symbol() const { return symbol_; }
  QColor color() const { return color_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  qreal spacing_ = 5;

  QFont font_;
  QColor color_;
  QString symbol_;
  qreal symbolSize_ = 0;
};
