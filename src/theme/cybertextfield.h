#pragma once

#include "theme/cybertextfieldstyle.h"
#include "theme/palette.h"

#include <QColor>
#include <QLineEdit>

class GlowEffect;

// A one-line text field in CyberTextFieldStyle: Rajdhani Medium 16 in
// cyberTextPrimary on a dark rounded field outlined in `accent`, the same with
// and without focus. Placeholders are drawn in the palette's hint colour and
// the selection in the accent.
class CyberTextField : public QLineEdit {
  Q_OBJECT
  Q_PROPERTY(QColor accent READ accent WRITE setAccent NOTIFY accentChanged)

 public:
  explicit CyberTextField(const QColor& accent = Palette::neonCyan, QWidget* parent = nullptr);

  QColor accent() const { return style_.accent; }
  void setAccent(const QColor& accent);

 Q_SIGNALS:
  void accentChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void applyColours();
  QRectF fieldRect() const;

  CyberTextFieldStyle style_;
  GlowEffect* glow_;
};
