#include "onboarding/signinform.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/authviewmodel.h"
#include "onboarding/errorline.h"
#include "onboarding/linkbutton.h"
#include "onboarding/progressbutton.h"
#include "theme/cybertextfield.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QVBoxLayout>

SignInForm::SignInForm(AuthViewModel& vm, QWidget* parent) : QWidget(parent), vm_(vm) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(40, 36, 40, 36);
  column->setSpacing(22);

  email_ = new CyberTextField(Palette::neonCyan, this);
  email_->setObjectName(QStringLiteral("emailField"));
  email_->setInputMethodHints(Qt::ImhEmailCharactersOnly | Qt::ImhNoAutoUppercase);
  email_->setText(vm_.email());
  column->addWidget(email_);

  codeRow_ = new QWidget(this);
  auto* codeColumn = new QVBoxLayout(codeRow_);
  codeColumn->setContentsMargins(0, 0, 0, 0);
  codeColumn->setSpacing(12);
  code_ = new CyberTextField(Palette::neonGreen, codeRow_);
  code_->setObjectName(QStringLiteral("codeField"));
  code_->setText(vm_.code());
  codeColumn->addWidget(code_);
  resend_ = new LinkButton(rajdhaniSemiBold(12), Palette::neonCyan, codeRow_);
  resend_->setTextAlignment(Qt::AlignRight);
  resend_->setGlow(Glow{Palette::withOpacity(Palette::neonCyan, 0.3), 2});
  codeColumn->addWidget(resend_);
  column->addWidget(codeRow_);

  error_ = new ErrorLine(this);
  column->addWidget(error_);

  primary_ = new ProgressButton(Palette::neonCyan, this);
  primary_->setObjectName(QStringLiteral("primaryButton"));
  column->addWidget(primary_);

  // The fields and the model write each other; each side ignores a value it
  // already holds, so nothing echoes.
  connect(email_, &QLineEdit::textChanged, &vm_, &AuthViewModel::setEmail);
  connect(code_, &QLineEdit::textChanged, &vm_, &AuthViewModel::setCode);
  connect(&vm_, &AuthViewModel::emailChanged, this, [this] {
    if (email_->text() != vm_.email()) email_->setText(vm_.email());
  });
  connect(&vm_, &AuthViewModel::codeChanged, this, [this] {
    if (code_->text() != vm_.code()) code_->setText(vm_.code());
  });
  connect(resend_, &LinkButton::clicked, &vm_, &AuthViewModel::reset);
  connect(primary_, &ProgressButton::clicked, this, &SignInForm::submit);

  for (const auto signal : {&AuthViewModel::emailChanged, &AuthViewModel::codeChanged,
                            &AuthViewModel::isLoadingChanged, &AuthViewModel::errorMessageChanged,
                            &AuthViewModel::codeSentChanged}) {
    connect(&vm_, signal, this, &SignInForm::refresh);
  }
  retranslate();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &SignInForm::retranslate);
}

void SignInForm::submit() {
  // The model reports through its state; the task runs on by itself.
  if (vm_.codeSent()) {
    vm_.verifyCode();
  } else {
    vm_.sendCode();
  }
}

void SignInForm::refresh() {
  const bool codeSent = vm_.codeSent();
  email_->setEnabled(!codeSent);
  codeRow_->setVisible(codeSent);
  error_->setVisible(vm_.errorMessage().has_value());
  error_->setMessage(vm_.errorMessage().value_or(QString()));

  const QString entry = codeSent ? vm_.code() : vm_.email();
  primary_->setText(codeSent ? currentStrings().verifyAccess : currentStrings().sendCode);
  primary_->setColor(codeSent ? Palette::neonGreen : Palette::neonCyan);
  primary_->setEnabled(!vm_.isLoading() && !entry.isEmpty());
  primary_->setBusy(vm_.isLoading());
}

void SignInForm::retranslate() {
  email_->setPlaceholderText(currentStrings().emailPlaceholder);
  code_->setPlaceholderText(currentStrings().codePlaceholder);
  resend_->setText(currentStrings().resendCode);
  refresh();
}
