#include "onboarding/authview.h"

#include "onboarding/agreementfooter.h"
#include "onboarding/agreementview.h"
#include "onboarding/authviewmodel.h"
#include "onboarding/invitecodeview.h"
#include "onboarding/invitecodeviewmodel.h"
#include "onboarding/languagepicker.h"
#include "onboarding/signinform.h"
#include "onboarding/signinheader.h"
#include "service/authstore.h"
#include "theme/cyberbggradient.h"
#include "theme/cyberdividerline.h"
#include "theme/palette.h"
#include "theme/scanlinetexture.h"

#include <QPainter>
#include <QVBoxLayout>

AuthView::AuthView(QWidget* parent) : QWidget(parent), vm_(new AuthViewModel(this)) {
  setFixedWidth(fixedWidth);
  // As tall as its content; given more, the content stays at the top.
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

  stack_ = new QVBoxLayout(this);
  stack_->setContentsMargins(0, 0, 0, 0);
  stack_->setSpacing(0);
  // No alignment for the branches: their wrapped texts need the layout to
  // work out their height from the width.
  signIn_ = buildSignInBranch();
  stack_->addWidget(signIn_);
  stack_->addStretch();

  connect(vm_, &AuthViewModel::showInviteStepChanged, this, &AuthView::chooseBranch);
  connect(&vm_->authStore(), &AuthStore::pendingInviteEmailChanged, this, &AuthView::chooseBranch);
  chooseBranch();
}

QWidget* AuthView::buildSignInBranch() {
  auto* branch = new QWidget(this);
  auto* column = new QVBoxLayout(branch);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(new SignInHeader(branch));
  column->addWidget(new CyberDividerLine(Palette::neonGreen, branch));
  form_ = new SignInForm(*vm_, branch);
  column->addWidget(form_);
  column->addSpacing(16);
  picker_ = new LanguagePicker(branch);
  column->addWidget(picker_, 0, Qt::AlignHCenter);
  column->addSpacing(12);
  footer_ = new AgreementFooter(branch);
  connect(footer_, &AgreementFooter::requested, this, &AuthView::showAgreement);
  column->addWidget(footer_);
  column->addSpacing(20);
  return branch;
}

void AuthView::chooseBranch() {
  const std::optional<QString> pendingEmail = vm_->authStore().pendingInviteEmail();
  const bool inviteStep = vm_->showInviteStep() && pendingEmail.has_value();
  if (inviteStep && !invite_) {
    // The sheet belongs to the sign-in branch and goes with it.
    if (agreement_) agreement_->close();
    auto* model = new InviteCodeViewModel(*pendingEmail, [vm = QPointer<AuthViewModel>(vm_)] {
      if (vm) vm->reset();
    });
    invite_ = new InviteCodeView(model, this);
    stack_->insertWidget(0, invite_);
    signIn_->hide();
    invite_->show();
  } else if (!inviteStep && invite_) {
    // The step may be the one asking to leave (its back button): let it
    // finish before it goes.
    invite_->hide();
    invite_->deleteLater();
    invite_ = nullptr;
    signIn_->show();
  }
}

void AuthView::showAgreement(AgreementType type) {
  if (agreement_) return;
  agreementType_ = type;
  agreement_ = new AgreementView(type, this);
  connect(agreement_, &QDialog::finished, this, [this] {
    agreementType_.reset();
    if (agreement_) agreement_->deleteLater();
    agreement_ = nullptr;
  });
  agreement_->open();
}

InviteCodeView* AuthView::inviteCodeView() const { return invite_; }

AgreementView* AuthView::agreementView() const { return agreement_; }

QSize AuthView::sizeHint() const { return QSize(fixedWidth, stack_->totalHeightForWidth(fixedWidth)); }

void AuthView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  CyberBgGradient{}.paint(painter, QRectF(rect()));
  ScanlineTexture{0.025}.paint(painter, QRectF(rect()));
}
