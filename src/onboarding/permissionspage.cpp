#include "onboarding/permissionspage.h"

#include "core/clock.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/plainbutton.h"
#include "mainwindow/symbolview.h"
#include "onboarding/centeredbox.h"
#include "onboarding/permissioncardrow.h"
#include "onboarding/themedlabel.h"
#include "pipeline/permissionmanager.h"
#include "pipeline/systemsettings.h"
#include "theme/cyberdividerline.h"
#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/neoncard.h"
#include "theme/palette.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kSpacing = 22;
// The Accessibility pane opens this long after the request, so the desktop's
// own explanation comes first.
constexpr int kSettingsDelayMs = 500;
}  // namespace

PermissionsPage::PermissionsPage(PermissionManager& permissions, QWidget* parent)
    : QWidget(parent), permissions_(permissions) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addSpacing(6 + kSpacing);  // a 6-high spacer heads the stack

  lock_ = new SymbolView(QStringLiteral("lock.shield.fill"), 46, Palette::neonOrange);
  column->addWidget(lock_, 0, Qt::AlignHCenter);
  column->addSpacing(kSpacing);

  auto* titleBlock = new QWidget;
  auto* titleColumn = new QVBoxLayout(titleBlock);
  titleColumn->setContentsMargins(0, 0, 0, 0);
  titleColumn->setSpacing(8);
  title_ = ThemedLabel::make(orbitronFont(20, QFont::Bold), Palette::cyberTextPrimary);
  titleColumn->addWidget(title_, 0, Qt::AlignHCenter);
  description_ = ThemedLabel::make(rajdhaniMedium(14), Palette::cyberTextSecondary);
  description_->setWordWrap(true);
  description_->setAlignment(Qt::AlignHCenter);
  titleColumn->addWidget(centeredBox(description_, 460));
  column->addWidget(titleBlock);
  column->addSpacing(kSpacing);

  auto* card = new NeonCard(Palette::cyberBorder, 6);
  auto* rows = new QVBoxLayout(card);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->setSpacing(0);
  microphone_ = new PermissionCardRow(QStringLiteral("mic.fill"), Palette::neonOrange, [this] { authorizeMicrophone(); });
  accessibility_ =
      new PermissionCardRow(QStringLiteral("accessibility"), Palette::neonPurple, [this] { authorizeAccessibility(); });
  rows->addWidget(microphone_);
  // The divider starts level with the tiles' trailing edge (row padding 20
  // plus the 34-wide tile).
  auto* divider = new QHBoxLayout;
  divider->setContentsMargins(54, 0, 0, 0);
  divider->addWidget(new CyberDividerLine(Palette::cyberSeparator));
  rows->addLayout(divider);
  rows->addWidget(accessibility_);
  column->addWidget(centeredBox(card, 500));
  column->addSpacing(kSpacing);

  allGranted_ = new QWidget;
  auto* granted = new QHBoxLayout(allGranted_);
  granted->setContentsMargins(0, 0, 0, 0);
  granted->setSpacing(8);
  granted->addWidget(new SymbolView(QStringLiteral("checkmark.seal.fill"), 15, Palette::neonGreen));
  allGrantedText_ = ThemedLabel::make(rajdhaniSemiBold(13), Palette::neonGreen);
  granted->addWidget(allGrantedText_);
  allGranted_->setGraphicsEffect(new GlowEffect(Glow{Palette::withOpacity(Palette::neonGreen, 0.4), 4}, allGranted_));
  column->addWidget(allGranted_, 0, Qt::AlignHCenter);

  refresh_ = new PlainButton(QString(), rajdhaniSemiBold(12), Palette::cyberTextSecondary);
  refresh_->setSymbol(QStringLiteral("arrow.clockwise"), 11);
  refresh_->setSpacing(6);
  connect(refresh_, &PlainButton::clicked, this, [this] { permissions_.refresh(); });
  column->addWidget(refresh_, 0, Qt::AlignHCenter);
  column->addStretch(1);

  retranslate();
  showStatuses();
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, &PermissionsPage::retranslate);
  connect(&permissions_, &PermissionManager::microphoneStatusChanged, this, &PermissionsPage::showStatuses);
  connect(&permissions_, &PermissionManager::accessibilityStatusChanged, this, &PermissionsPage::showStatuses);
}

void PermissionsPage::authorizeMicrophone() {
  if (permissions_.microphoneStatus() == PermissionStatus::notDetermined) {
    // Never asked: ask now; the answer arrives as a status change. The task
    // runs to its end on its own.
    permissions_.requestMicrophone();
    return;
  }
  openSystemURL(kMicrophoneSettingsAddress);
}

void PermissionsPage::authorizeAccessibility() {
  permissions_.requestAccessibility();
  QTimer::singleShot(Clock::scaledMs(kSettingsDelayMs), QCoreApplication::instance(),
                     [] { openAccessibilitySettings(); });
}

void PermissionsPage::retranslate() {
  const AppStrings& strings = currentStrings();
  title_->setText(strings.onboardingPermTitle);
  description_->setText(strings.onboardingPermDesc);
  microphone_->setTexts(strings.permMicrophone, strings.onboardingPermMicDesc);
  accessibility_->setTexts(strings.permAccessibility, strings.onboardingPermAXDesc);
  allGrantedText_->setText(strings.onboardingPermAllDone);
  refresh_->setText(strings.onboardingPermRefresh);
  refresh_->updateGeometry();
}

void PermissionsPage::showStatuses() {
  const bool allGranted = permissions_.allGranted();
  const QColor lockColor = allGranted ? Palette::neonGreen : Palette::neonOrange;
  lock_->setColor(lockColor);
  lock_->setGlow(Glow{Palette::withOpacity(lockColor, 0.5), 14});
  microphone_->setStatus(permissions_.microphoneStatus());
  accessibility_->setStatus(permissions_.accessibilityStatus());
  allGranted_->setVisible(allGranted);
  refresh_->setVisible(!allGranted);
}
