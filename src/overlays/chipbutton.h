#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>

// The result panel's small actions (copy, pin): a symbol and a short label in
// one accent colour on a faint rounded chip outlined in it.
class ChipButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit ChipButton(QWidget* parent = nullptr);

  void setChip(const QString& symbol, const QString& label, const QColor& accent);
  QString symbol() const { return symbol_; }
  QColor accent() const { return accent_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString symbol_;
  QColor accent_;
};
