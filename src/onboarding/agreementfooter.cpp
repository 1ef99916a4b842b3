#include "onboarding/agreementfooter.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/linkbutton.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {

LinkButton* makeLink(QWidget* parent) {
  auto* link = new LinkButton(rajdhaniSemiBold(11), Palette::withOpacity(Palette::neonCyan, 0.7), parent);
  link->setUnderlined(true);
  link->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  return link;
}

}  // namespace

AgreementFooter::AgreementFooter(QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(4);
  row->addStretch();

  terms_ = makeLink(this);
  connect(terms_, &LinkButton::clicked, this, [this] { Q_EMIT requested(AgreementType::terms); });
  row->addWidget(terms_, 0, Qt::AlignVCenter);

  and_ = new QLabel(this);
  and_->setFont(rajdhaniSemiBold(11));
  QPalette colours = and_->palette();
  colours.setColor(QPalette::WindowText, Palette::withOpacity(Palette::cyberTextSecondary, 0.6));
  and_->setPalette(colours);
  row->addWidget(and_, 0, Qt::AlignVCenter);

  privacy_ = makeLink(this);
  connect(privacy_, &LinkButton::clicked, this, [this] { Q_EMIT requested(AgreementType::privacy); });
  row->addWidget(privacy_, 0, Qt::AlignVCenter);
  row->addStretch();

  retranslate();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &AgreementFooter::retranslate);
}

void AgreementFooter::retranslate() {
  terms_->setText(currentStrings().agreementTerms);
  and_->setText(currentStrings().agreementAnd);
  privacy_->setText(currentStrings().agreementPrivacy);
}
