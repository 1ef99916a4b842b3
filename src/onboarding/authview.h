#pragma once

#include "onboarding/agreementtype.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class AgreementFooter;
class AgreementView;
class AuthViewModel;
class InviteCodeView;
class LanguagePicker;
class QVBoxLayout;
class SignInForm;

// The window's content while nobody is signed in. It shows the sign-in flow:
// the e-mail and the send button, then the code and the verify button, and in
// place of all that the invite-code step when the service asks for one. Under
// the form sit the choice of interface language and the links to the terms of
// service and the privacy policy, which open as a sheet over the window.
//
// The view never leaves the sign-in state by itself: once the flow stores a
// token, whoever shows the view replaces it. It is 520 wide and as tall as
// its content. Every text follows the interface language at once.
class AuthView : public QWidget {
  Q_OBJECT

 public:
  static constexpr int fixedWidth = 520;

  explicit AuthView(QWidget* parent = nullptr);

  AuthViewModel& viewModel() const { return *vm_; }

  // The width is fixed, so the height its wrapped texts need is known.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

  // Parts, for tests and screenshots.
  SignInForm* signInForm() const { return form_; }
  LanguagePicker* languagePicker() const { return picker_; }
  AgreementFooter* agreementFooter() const { return footer_; }
  // The invite-code step while it is shown, else nothing.
  InviteCodeView* inviteCodeView() const;
  // The open terms or privacy sheet, else nothing.
  AgreementView* agreementView() const;
  std::optional<AgreementType> agreementType() const { return agreementType_; }

  // Opens the sheet of that document (as its footer link does).
  void showAgreement(AgreementType type);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QWidget* buildSignInBranch();
  void chooseBranch();

  AuthViewModel* vm_;
  QVBoxLayout* stack_;
  QWidget* signIn_;
  SignInForm* form_;
  LanguagePicker* picker_;
  AgreementFooter* footer_;
  QPointer<InviteCodeView> invite_;
  QPointer<AgreementView> agreement_;
  std::optional<AgreementType> agreementType_;
};
