#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QString>
#include <QWidget>

class GlowEffect;

// One symbol of the icon set at a font-like size, tinted, optionally glowing
// (the glow spills past the widget's edges). The widget is as large as the
// symbol's square.
class SymbolView : public QWidget {
  Q_OBJECT

 public:
  SymbolView(const QString& name, qreal pointSize, const QColor& color, QWidget* parent = nullptr);

  QString name() const { return name_; }
  QColor color() const { return color_; }

  void setSymbol(const QString& name);
  void setColor(const QColor& color);
  // A glow of `color` at `opacity` with `radius`; radius 0 removes it.
  void setGlow(qreal opacity, qreal radius);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void updateGlow();

  QString name_;
  qreal pointSize_;
  QColor color_;
  qreal glowOpacity_ = 0;
  qreal glowRadius_ = 0;
  GlowEffect* glow_ = nullptr;
};
