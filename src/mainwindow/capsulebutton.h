#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>

// A quiet text button on an outlined capsule, for an action that should not
// draw the eye (uninstalling the agent).
class CapsuleButton : public QAbstractButton {
  Q_OBJECT

 public:
  CapsuleButton(const QFont& font, const QColor& textColor, const QColor& outline, QWidget* parent = nullptr);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QFont font_;
  QColor textColor_;
  QColor outline_;
};
