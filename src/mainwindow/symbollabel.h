#pragma once

#include "theme/glow.h"
#include "theme/glowsource.h"

#include <QColor>
#include <QFont>
#include <QLabel>

class GlowEffect;

// A symbol and a text side by side in one colour, drawn as one widget: the
// operation, the status and the failure line of a history card. It may glow;
// the glow is drawn from its own painting, so a list of many such labels
// costs no more to paint than a short one.
class SymbolLabel : public QLabel, public GlowSource {
  Q_OBJECT

 public:
  SymbolLabel(const QString& symbol, qreal symbolSize, const QFont& font, const QColor& color, qreal spacing,
              QWidget* parent = nullptr);

  QString symbol() const { return symbol_; }
  QColor color() const { return color_; }
  void setGlow(const Glow& glow);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void paintGlowSource(QPainter& painter) const override;
  QString glowSourceKey() const override;

 private:
  QString symbol_;
  qreal symbolSize_;
  QFont font_;
  QColor color_;
  qreal spacing_;
  GlowEffect* glow_ = nullptr;
};
