#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QString>
#include <QWidget>

class GlowEffect;

// One symbol of the icon set, tinted, at a size given like a font size, in a
// box as wide as the view asks (a symbol "in a frame 24 wide"), optionally
// glowing. Mouse events pass through to what lies below.
class SymbolLabel : public QWidget {
  Q_OBJECT

 public:
  SymbolLabel(const QString& name, qreal pointSize, const QColor& color, QWidget* parent = nullptr);

  QString symbol() const { return name_; }
  QColor color() const { return color_; }
  void setSymbol(const QString& name);
  void setColor(const QColor& color);
  // 0: as wide as the symbol.
  void setFrameWidth(qreal width);
  void setGlow(const Glow& glow);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString name_;
  qreal pointSize_;
  QColor color_;
  qreal frameWidth_ = 0;
  GlowEffect* glow_ = nullptr;
};
