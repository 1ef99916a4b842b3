#include "onboarding/signinheader.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/appiconbadge.h"
#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"

#include <QLabel>
#include <QVBoxLayout>

SignInHeader::SignInHeader(QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(44, 48, 44, 36);
  column->setSpacing(20);

  column->addWidget(new AppIconBadge(this), 0, Qt::AlignHCenter);

  title_ = new NeonTitleLabel(QString(), {Palette::neonCyan, Palette::neonGreen}, 28, this);
  title_->setAlignment(Qt::AlignCenter);
  column->addWidget(title_, 0, Qt::AlignHCenter);

  subtitle_ = new QLabel(this);
  subtitle_->setFont(rajdhaniSemiBold(13));
  subtitle_->setAlignment(Qt::AlignCenter);
  QPalette colours = subtitle_->palette();
  colours.setColor(QPalette::WindowText, Palette::cyberTextSecondary);
  subtitle_->setPalette(colours);
  subtitle_->setGraphicsEffect(new GlowEffect(Glow{Palette::withOpacity(Palette::neonCyan, 0.2), 2}, subtitle_));
  column->addWidget(subtitle_, 0, Qt::AlignHCenter);

  retranslate();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &SignInHeader::retranslate);
}

void SignInHeader::retranslate() {
  title_->setText(currentStrings().appNameFull);
  subtitle_->setText(currentStrings().authSubtitle);
}
