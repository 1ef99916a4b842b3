#pragma once

#include <QWidget>

class QLabel;

// The card at the top of the invite-code step that tells a new user why an
// invitation is needed and that each code works once.
class InviteWelcomeCard : public QWidget {
  Q_OBJECT

 public:
  explicit InviteWelcomeCard(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void retranslate();

  QLabel* heading_;
  QLabel* body_;
  QLabel* note_;
};
