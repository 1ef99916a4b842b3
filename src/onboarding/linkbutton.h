#pragma once

#include "theme/glow.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>

class GlowEffect;

// A plain text button: only its text, in one font and colour, optionally
// underlined and glowing, aligned within whatever width the layout gives it.
// Used for the small links of the sign-in window.
class LinkButton : public QAbstractButton {
  Q_OBJECT

 public:
  LinkButton(const QFont& font, const QColor& color, QWidget* parent = nullptr);

  void setColor(const QColor& color);
  QColor color() const { return color_; }
  void setUnderlined(bool underlined);
  void setGlow(const Glow& glow);
  // Where the text sits when the button is wider than it (default: centred).
  void setTextAlignment(Qt::Alignment alignment);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QFont font_;
  QColor color_;
  Qt::Alignment alignment_ = Qt::AlignCenter;
  GlowEffect* glow_ = nullptr;
};
