#pragma once

#include <QWidget>

class NeonTitleLabel;
class QLabel;

// The top of the sign-in window: the application's icon in its corner marks,
// the program's name as a neon title and the "system access" subtitle.
class SignInHeader : public QWidget {
  Q_OBJECT

 public:
  explicit SignInHeader(QWidget* parent = nullptr);

 private:
  void retranslate();

  NeonTitleLabel* title_;
  QLabel* subtitle_;
};
