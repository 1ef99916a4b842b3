#pragma once

#include "theme/neonbuttonstyle.h"
#include "theme/palette.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QString>

class GlowEffect;

// A push button in NeonButtonStyle. Its label is the button's text with an
// optional symbol before it ("plus" + "Add") and one after it ("Start" +
// "arrow.right"), all drawn in the style's label colour. The label font is
// the style's Rajdhani SemiBold 14 unless a view sets its own.
//
// The widget is exactly as large as the drawn button; the glow spills past its
// edges (GlowEffect). A disabled button is dimmed (see NeonButtonStyle).
class NeonButton : public QAbstractButton {
  Q_OBJECT
  Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)

 public:
  explicit NeonButton(const QString& text = QString(), const QColor& color = Palette::neonCyan,
                      QWidget* parent = nullptr);

  QColor color() const { return style_.color; }
  void setColor(const QColor& color);

  void setLeadingSymbol(const QString& name, qreal pointSize);
  void setTrailingSymbol(const QString& name, qreal pointSize);
  void setLabelFont(const QFont& font);
  // Space between the symbols and the text (default 6).
  void setSpacing(qreal spacing);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 Q_SIGNALS:
  void colorChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct Symbol {
    QString name;
    qreal pointSize = 0;
  };
  QSizeF labelSize() const;
  void paintLabel(QPainter& painter, const QRectF& rect, const QColor& foreground) const;
  void labelChanged();

  NeonButtonStyle style_;
  Symbol leading_;
  Symbol trailing_;
  QFont labelFont_;
  qreal spacing_ = 6;
  GlowEffect* glow_;
};
