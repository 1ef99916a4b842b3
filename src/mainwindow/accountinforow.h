#pragma once

#include <QWidget>

class TextLabel;
class WrappingText;

// One line of the account popover: a dim label at the leading edge and its
// value at the trailing edge, selectable so that it can be copied. A value
// too long for the popover (an e-mail address) goes on over more lines.
class AccountInfoRow : public QWidget {
  Q_OBJECT

 public:
  explicit AccountInfoRow(QWidget* parent = nullptr);

  void setTexts(const QString& label, const QString& value);
  QString label() const;
  QString value() const;
  WrappingText* valueText() const { return value_; }

 private:
  TextLabel* label_;
  WrappingText* value_;
};
