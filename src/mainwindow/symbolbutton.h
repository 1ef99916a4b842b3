#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QSizeF>
#include <QString>

// A plain button that shows one tinted symbol: the clear, edit, delete, copy
// and close buttons of the pages. Optionally framed to a fixed size on a
// rounded backing with an outline. Pressed, the symbol dims a little, as a
// plain button does.
class SymbolButton : public QAbstractButton {
  Q_OBJECT

 public:
  struct Backing {
    QColor fill;
    QColor stroke;
    qreal strokeWidth = 0;
    qreal radius = 0;
  };

  SymbolButton(const QString& name, qreal pointSize, const QColor& color, QWidget* parent = nullptr);

  QString symbol() const { return name_; }
  QColor color() const { return color_; }
  void setSymbol(const QString& name, const QColor& color);
  // Empty: just the symbol's box.
  void setFrame(const QSizeF& frame);
  void setBacking(const Backing& backing);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString name_;
  qreal pointSize_;
  QColor color_;
  QSizeF frame_;
  Backing backing_;
};
