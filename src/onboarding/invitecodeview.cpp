#include "onboarding/invitecodeview.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/errorline.h"
#include "onboarding/invitecodeformat.h"
#include "onboarding/invitecodevalidator.h"
#include "onboarding/invitecodeviewmodel.h"
#include "onboarding/invitewelcomecard.h"
#include "onboarding/linkbutton.h"
#include "onboarding/progressbutton.h"
#include "theme/cyberdividerline.h"
#include "theme/cybertextfield.h"
#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel* makeLabel(const QFont& font, const QColor& color, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFont(font);
  label->setAlignment(Qt::AlignCenter);
  QPalette colours = label->palette();
  colours.setColor(QPalette::WindowText, color);
  label->setPalette(colours);
  return label;
}

}  // namespace

InviteCodeView::InviteCodeView(InviteCodeViewModel* vm, QWidget* parent) : QWidget(parent), vm_(vm) {
  vm_->setParent(this);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(40, 48, 40, 0);
  outer->setSpacing(0);

  auto* header = new QVBoxLayout;
  header->setContentsMargins(0, 0, 0, 28);
  header->setSpacing(14);
  auto* lock = new QLabel(this);
  lock->setPixmap(SymbolImage::pixmap(QStringLiteral("lock.shield"), 48, Palette::neonCyan, devicePixelRatioF()));
  lock->setGraphicsEffect(new GlowEffect(Glow{Palette::withOpacity(Palette::neonCyan, 0.5), 10}, lock));
  header->addWidget(lock, 0, Qt::AlignHCenter);
  subtitle_ = makeLabel(orbitronFont(22, QFont::Black), Palette::cyberTextPrimary, this);
  header->addWidget(subtitle_, 0, Qt::AlignHCenter);
  title_ = makeLabel(rajdhaniMedium(12), Palette::cyberTextSecondary, this);
  title_->setWordWrap(true);
  header->addWidget(title_);
  outer->addLayout(header);

  outer->addWidget(new CyberDividerLine(Palette::neonCyan, this));

  auto* body = new QVBoxLayout;
  body->setContentsMargins(0, 24, 0, 24);
  body->setSpacing(20);
  body->addWidget(new InviteWelcomeCard(this));

  auto* form = new QVBoxLayout;
  form->setSpacing(16);
  field_ = new CyberTextField(Palette::neonCyan, this);
  field_->setObjectName(QStringLiteral("inviteCodeField"));
  field_->setValidator(new InviteCodeValidator(field_));
  form->addWidget(field_);
  error_ = new ErrorLine(this);
  form->addWidget(error_);
  submit_ = new ProgressButton(Palette::neonCyan, this);
  submit_->setObjectName(QStringLiteral("inviteSubmitButton"));
  form->addWidget(submit_);
  back_ = new LinkButton(rajdhaniSemiBold(12), Palette::cyberTextTertiary, this);
  back_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  form->addWidget(back_, 0, Qt::AlignHCenter);
  body->addLayout(form);
  outer->addLayout(body);
  outer->addSpacing(24);

  connect(field_, &QLineEdit::textChanged, this, &InviteCodeView::fieldEdited);
  connect(vm_, &InviteCodeViewModel::inviteCodeChanged, this, [this] {
    if (field_->text() != vm_->inviteCode()) field_->setText(vm_->inviteCode());
  });
  connect(submit_, &ProgressButton::clicked, vm_, [this] { vm_->submit(); });
  connect(back_, &LinkButton::clicked, vm_, &InviteCodeViewModel::back);
  for (const auto signal : {&InviteCodeViewModel::inviteCodeChanged, &InviteCodeViewModel::isLoadingChanged,
                            &InviteCodeViewModel::errorMessageChanged}) {
    connect(vm_, signal, this, &InviteCodeView::refresh);
  }
  retranslate();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &InviteCodeView::retranslate);
}

void InviteCodeView::fieldEdited(const QString& text) {
  // Typing and pasting arrive formatted by the validator; a text set any
  // other way is formatted here.
  const QString formatted = InviteCodeFormat::format(text);
  vm_->setInviteCode(formatted);
  if (text != formatted) field_->setText(formatted);
}

void InviteCodeView::refresh() {
  const bool loading = vm_->isLoading();
  field_->setEnabled(!loading);
  error_->setVisible(vm_->errorMessage().has_value());
  error_->setMessage(vm_->errorMessage().value_or(QString()));
  submit_->setEnabled(!loading && vm_->isComplete());
  submit_->setBusy(loading);
  back_->setEnabled(!loading);
}

void InviteCodeView::retranslate() {
  subtitle_->setText(currentStrings().invitePageSubtitle);
  title_->setText(currentStrings().invitePageTitle);
  field_->setPlaceholderText(currentStrings().inviteCodePlaceholder);
  submit_->setText(currentStrings().inviteSubmitBtn);
  back_->setText(currentStrings().inviteBackBtn);
  refresh();
}
