#include "onboarding/permissioncardrow.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/icontile.h"
#include "onboarding/themedlabel.h"
#include "theme/fonts.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

PermissionCardRow::PermissionCardRow(const QString& symbol, const QColor& accent, std::function<void()> authorize,
                             QWidget* parent)
    : QWidget(parent), accent_(accent) {
  auto* line = new QHBoxLayout(this);
  line->setContentsMargins(20, 14, 20, 14);
  line->setSpacing(14);
  tile_ = new IconTile(symbol, accent, {34, 7, 14, 0.08}, true);
  line->addWidget(tile_);

  auto* texts = new QVBoxLayout;
  texts->setSpacing(3);
  title_ = ThemedLabel::make(rajdhaniSemiBold(13), Palette::cyberTextPrimary);
  description_ = ThemedLabel::make(rajdhaniMedium(11), Palette::cyberTextTertiary);
  description_->setWordWrap(true);
  texts->addWidget(title_);
  texts->addWidget(description_);
  line->addLayout(texts, 1);

  ok_ = ThemedLabel::make(rajdhaniSemiBold(11), Palette::neonGreen);
  authorize_ = new NeonButton(QString(), accent);
  connect(authorize_, &NeonButton::clicked, this, [authorize = std::move(authorize)] { authorize(); });
  line->addWidget(ok_);
  line->addWidget(authorize_);

  retranslate();
  setStatus(PermissionStatus::notDetermined);
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &PermissionCardRow::retranslate);
}

void PermissionCardRow::setTexts(const QString& title, const QString& description) {
  title_->setText(title);
  description_->setText(description);
}

void PermissionCardRow::setStatus(PermissionStatus status) {
  const bool granted = status == PermissionStatus::granted;
  tile_->setBadge(granted ? IconTile::Badge{QStringLiteral("checkmark.circle.fill"), Palette::neonGreen}
                          : IconTile::Badge{QStringLiteral("exclamationmark.circle.fill"), Palette::neonOrange});
  ok_->setVisible(granted);
  authorize_->setVisible(!granted);
}

void PermissionCardRow::retranslate() {
  ok_->setText(currentStrings().statusOk);
  authorize_->setText(currentStrings().permGoAuth);
}
