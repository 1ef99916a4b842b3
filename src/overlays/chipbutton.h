#pragma once

#include "theme/easedvalue.h"

#include <QAbstractButton>
#include <QColor>
#include <QString>

// The result panel's small actions (copy, pin): a symbol and a short label in
// one accent colour on a faint rounded chip outlined in it. A new accent eases
// in over 0.2 s while the chip is on screen.
class ChipButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit ChipButton(QWidget* parent = nullptr);

  void setChip(const QString& symbol, const QString& label, const QColor& accent);
  QString symbol() const { return symbol_; }
  QColor accent() const { return accent_; }
  // The accent as drawn now (accent() once the easing has ended).
  QColor shownAccent() const { return shown_->value().value<QColor>(); }
  const QVariantAnimation& accentAnimation() const { return shown_->animation(); }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString symbol_;
  QColor accent_;
  EasedValue* shown_;
};
