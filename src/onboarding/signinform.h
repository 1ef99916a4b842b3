#pragma once

#include <QWidget>

class AuthViewModel;
class CyberTextField;
class ErrorLine;
class LinkButton;
class ProgressButton;

// The sign-in form over an AuthViewModel: the e-mail field and the send
// button; once a code was sent, the e-mail locked, the code field with its
// "resend" link and the verify button. The error line shows the model's
// message as it was worded when it happened.
//
// The form alone keeps requests from overlapping: the button is disabled while
// one is out, and while its field is empty (a field of blanks counts as
// filled). Return in a field does nothing. Each button press starts the
// model's operation and returns; the model reports back through its state.
class SignInForm : public QWidget {
  Q_OBJECT

 public:
  explicit SignInForm(AuthViewModel& vm, QWidget* parent = nullptr);

  CyberTextField* emailField() const { return email_; }
  CyberTextField* codeField() const { return code_; }
  LinkButton* resendLink() const { return resend_; }
  ErrorLine* errorLine() const { return error_; }
  ProgressButton* primaryButton() const { return primary_; }

 private:
  void submit();
  void refresh();
  void retranslate();

  AuthViewModel& vm_;
  CyberTextField* email_;
  QWidget* codeRow_;
  CyberTextField* code_;
  LinkButton* resend_;
  ErrorLine* error_;
  ProgressButton* primary_;
};
