#pragma once

#include <QWidget>

class QLabel;

// The red error line of the sign-in forms: a warning triangle and the message,
// glowing faintly red, wrapping over as many lines as the message needs.
class ErrorLine : public QWidget {
  Q_OBJECT

 public:
  explicit ErrorLine(QWidget* parent = nullptr);

  void setMessage(const QString& message);
  QString message() const;

 private:
  QLabel* text_;
};
