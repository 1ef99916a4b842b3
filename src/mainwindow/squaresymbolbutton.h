#pragma once

#include "theme/glow.h"

#include <QAbstractButton>
#include <QColor>
#include <QString>

#include <optional>

class GlowEffect;

// A small square button of the sidebar's foot: a symbol on a tinted rounded
// square with a thin outline, glowing as a whole, with an optional dot badge
// over its top trailing corner. The widget keeps room above the square (and,
// when it may show a badge, after it) for the badge, which hangs 3 past the
// corner.
class SquareSymbolButton : public QAbstractButton {
  Q_OBJECT

 public:
  struct Look {
    QString symbol;
    qreal symbolSize = 14;
    QColor symbolColor;
    QColor fill;
    QColor outline;
    qreal outlineWidth = 1;
    Glow glow;
    // The badge's colour; none: no badge.
    std::optional<QColor> badge;
  };

  explicit SquareSymbolButton(bool mayShowBadge, QWidget* parent = nullptr);

  const Look& look() const { return look_; }
  void setLook(const Look& look);

  // Where the square lies in the widget.
  QRectF squareRect() const;

  static constexpr qreal side = 28;
  static constexpr qreal cornerRadius = 6;
  static constexpr qreal badgeSide = 7;
  static constexpr qreal badgeOverhang = 3;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Look look_;
  GlowEffect* glow_;
};
