#pragma once

#include <QWidget>

class TextLabel;

// One line of the account popover: a dim label at the leading edge and its
// value at the trailing edge, selectable so that it can be copied.
class AccountInfoRow : public QWidget {
  Q_OBJECT

 public:
  explicit AccountInfoRow(QWidget* parent = nullptr);

  void setTexts(const QString& label, const QString& value);
  QString label() const;
  QString value() const;

 private:
  TextLabel* label_;
  TextLabel* value_;
};
