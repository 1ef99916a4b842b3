#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QFont>
#include <QLabel>

class GlowEffect;

// A plain-text label in one font and colour, optionally glowing. Texts from
// the service or the user are shown exactly as they are: never as rich text,
// so a transcript holding markup cannot fetch or draw anything.
class TextLabel : public QLabel {
  Q_OBJECT

 public:
  TextLabel(const QFont& font, const QColor& color, QWidget* parent = nullptr);

  QColor color() const { return color_; }
  void setColor(const QColor& color);
  // A glow of `glow`'s colour and radius around the text; an invisible glow
  // removes it.
  void setGlow(const Glow& glow);

  // The text can be selected with the mouse (then also with the keyboard)
  // and copied. What selection needs (a text document per label) is made when
  // the pointer first comes to the label, not for every label of a long list;
  // the label's size is the same either way. Shown anew (its window was
  // closed and opened again), the label starts with nothing selected.
  void setSelectable(bool selectable);

  // A one-line label that may be given less room than its text: the text is
  // then cut with an ellipsis (text() stays whole). Off by default.
  void setElideMode(Qt::TextElideMode mode);
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void armSelection();

  QColor color_;
  bool selectable_ = false;
  GlowEffect* glow_ = nullptr;
  Qt::TextElideMode elideMode_ = Qt::ElideNone;
};
