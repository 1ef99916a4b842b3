#pragma once

#include <QColor>
#include <QFont>
#include <QMarginsF>
#include <QString>
#include <QWidget>

// A hotkey shown as a label on a small rounded plate in one colour: the text
// in the colour, the plate filled with it at 0.1 and outlined at 0.4. It keeps
// the size of its text and never wraps; it reacts to no click.
class KeyChip : public QWidget {
  Q_OBJECT

 public:
  struct Look {
    qreal fontSize;
    QMarginsF padding;
    qreal cornerRadius;
    qreal lineWidth;
    qreal glowOpacity;  // 0: no glow
  };

  KeyChip(const QColor& color, Look look, QWidget* parent = nullptr);

  QString text() const { return text_; }
  void setText(const QString& text);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_;
  Look look_;
  QString text_;
};
