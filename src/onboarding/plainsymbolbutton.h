#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QString>

// A button without a body: a symbol and a text side by side in one colour,
// dimmed while pressed. The back button of the flow and the re-check button
// of the permissions page.
class PlainSymbolButton : public QAbstractButton {
  Q_OBJECT

 public:
  PlainSymbolButton(const QString& symbol, qreal symbolSize, const QFont& font, const QColor& color, qreal spacing,
                    QWidget* parent = nullptr);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString symbol_;
  qreal symbolSize_;
  QColor color_;
  qreal spacing_;
};
