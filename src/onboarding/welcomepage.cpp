#include "onboarding/welcomepage.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/centeredbox.h"
#include "onboarding/icontile.h"
#include "onboarding/themedlabel.h"
#include "onboarding/welcomehero.h"
#include "theme/fonts.h"
#include "theme/neoncard.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kSpacing = 28;
constexpr qreal kDescriptionLineSpacing = 4;
}  // namespace

WelcomePage::WelcomePage(QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  // A 12-high spacer heads the stack; every item is followed by its spacing.
  column->addSpacing(12 + kSpacing);
  column->addWidget(new WelcomeHero, 0, Qt::AlignHCenter);
  column->addSpacing(kSpacing);

  auto* titleBlock = new QWidget;
  auto* titleColumn = new QVBoxLayout(titleBlock);
  titleColumn->setContentsMargins(0, 0, 0, 0);
  titleColumn->setSpacing(10);
  title_ = new NeonTitleLabel(QString(), {Palette::neonCyan, Palette::neonGreen}, 24);
  title_->setAlignment(Qt::AlignCenter);
  titleColumn->addWidget(title_, 0, Qt::AlignHCenter);
  description_ = ThemedLabel::make(rajdhaniMedium(15), Palette::cyberTextSecondary);
  titleColumn->addWidget(centeredBox(description_, 480));
  column->addWidget(titleBlock);
  column->addSpacing(kSpacing);

  auto* card = new NeonCard(Palette::cyberBorder, 6);
  auto* rows = new QVBoxLayout(card);
  rows->setContentsMargins(20, 20, 20, 20);
  rows->setSpacing(12);
  rows->addWidget(featureRow(QStringLiteral("mic.fill"), Palette::neonCyan, features_[0]));
  rows->addWidget(featureRow(QStringLiteral("pencil.and.outline"), Palette::neonGreen, features_[1]));
  rows->addWidget(featureRow(QStringLiteral("brain.head.profile"), Palette::neonOrange, features_[2]));
  column->addWidget(centeredBox(card, 500));
  column->addStretch(1);

  retranslate();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &WelcomePage::retranslate);
}

QWidget* WelcomePage::featureRow(const QString& symbol, const QColor& color, FeatureRow& row) {
  auto* widget = new QWidget;
  auto* line = new QHBoxLayout(widget);
  line->setContentsMargins(0, 0, 0, 0);
  line->setSpacing(14);
  line->addWidget(new IconTile(symbol, color, {36, 8, 16, 0.1}, false));
  auto* texts = new QVBoxLayout;
  texts->setSpacing(3);
  row.title = ThemedLabel::make(rajdhaniSemiBold(13), Palette::cyberTextPrimary);
  row.description = ThemedLabel::make(rajdhaniMedium(12), Palette::cyberTextSecondary);
  row.description->setWordWrap(true);
  texts->addWidget(row.title);
  texts->addWidget(row.description);
  line->addLayout(texts, 1);
  return widget;
}

void WelcomePage::retranslate() {
  const AppStrings& strings = currentStrings();
  title_->setText(strings.onboardingWelcomeTitle);
  ThemedLabel::setSpacedText(description_, strings.onboardingWelcomeDesc, kDescriptionLineSpacing, Qt::AlignHCenter);
  const QString titles[] = {strings.onboardingFeature1Title, strings.onboardingFeature2Title,
                            strings.onboardingFeature3Title};
  const QString descriptions[] = {strings.onboardingFeature1Desc, strings.onboardingFeature2Desc,
                                  strings.onboardingFeature3Desc};
  for (int i = 0; i < 3; ++i) {
    features_[i].title->setText(titles[i]);
    features_[i].description->setText(descriptions[i]);
  }
}
