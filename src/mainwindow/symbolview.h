#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QString>
#include <QWidget>

class GlowEffect;

// One symbol of the icon set, drawn at a point size in one colour, centred in
// its box (by default the symbol's own square; a view may ask for a wider or
// taller frame). Clicks pass through to whatever holds it.
class SymbolView : public QWidget {
  Q_OBJECT

 public:
  SymbolView(const QString& name, qreal pointSize, const QColor& color, QWidget* parent = nullptr);

  QString name() const { return name_; }
  QColor color() const { return color_; }
  void setSymbol(const QString& name);
  void setColor(const QColor& color);
  // A fixed frame instead of the symbol's own square.
  void setFrame(const QSize& frame);
  void setGlow(const Glow& glow);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString name_;
  qreal pointSize_;
  QColor color_;
  QSize frame_;
  GlowEffect* glow_ = nullptr;
};
