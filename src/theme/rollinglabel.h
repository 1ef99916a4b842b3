#pragma once

#include <QLabel>

class EasedValue;

// A one-line label whose text can change by rolling (RollingText), easing in
// and out over 0.3 s, instead of at once. Hidden, it changes at once.
class RollingLabel : public QLabel {
  Q_OBJECT

 public:
  explicit RollingLabel(QWidget* parent = nullptr);

  // Shows `text`: rolling from the text shown until now when `roll` is set,
  // else at once.
  void showText(const QString& text, bool roll);

  bool isRolling() const;
  // The text being left, while rolling.
  QString rollingFrom() const { return from_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString from_;
  EasedValue* progress_;
};
