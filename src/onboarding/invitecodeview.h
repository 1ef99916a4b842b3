#pragma once

#include <QWidget>

class CyberTextField;
class ErrorLine;
class InviteCodeViewModel;
class LinkButton;
class ProgressButton;
class QLabel;

// The invite-code step that replaces the sign-in form when the service wants
// an invitation for a new account: a lock, the early-access titles, the
// welcome card, the code field, the error line, the submit button and the way
// back to the e-mail stage.
//
// The field formats what is typed or pasted as it arrives (InviteCodeFormat),
// so it only ever holds a well-formed, perhaps incomplete, code. Submit waits
// for all 8 characters; while a submission is out the field and both buttons
// are disabled.
class InviteCodeView : public QWidget {
  Q_OBJECT

 public:
  // Takes `vm` as its child.
  explicit InviteCodeView(InviteCodeViewModel* vm, QWidget* parent = nullptr);

  InviteCodeViewModel& viewModel() const { return *vm_; }
  CyberTextField* codeField() const { return field_; }
  ErrorLine* errorLine() const { return error_; }
  ProgressButton* submitButton() const { return submit_; }
  LinkButton* backButton() const { return back_; }

 private:
  void fieldEdited(const QString& text);
  void refresh();
  void retranslate();

  InviteCodeViewModel* vm_;
  QLabel* subtitle_;
  QLabel* title_;
  CyberTextField* field_;
  ErrorLine* error_;
  ProgressButton* submit_;
  LinkButton* back_;
};
