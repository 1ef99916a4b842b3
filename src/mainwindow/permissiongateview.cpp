#include "mainwindow/permissiongateview.h"

#include "core/clock.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/gateseparator.h"
#include "mainwindow/permissiongateheader.h"
#include "mainwindow/permrow.h"
#include "mainwindow/plainbutton.h"
#include "pipeline/permissionmanager.h"
#include "pipeline/systemsettings.h"
#include "theme/fonts.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

PermissionGateView::PermissionGateView(std::function<void()> onDone, PermissionManager& pm, LanguageManager& lang,
                                       QWidget* parent)
    : QWidget(parent),
      onDone_(std::move(onDone)),
      pm_(pm),
      header_(new PermissionGateHeader(this)),
      microphoneRow_(new PermRow(QStringLiteral("mic.fill"), Palette::neonOrange, [this] { authoriseMicrophone(); },
                                 [] { openMicrophoneSettings(); }, this)),
      accessibilityRow_(new PermRow(QStringLiteral("accessibility"), Palette::neonPurple,
                                    [this] { authoriseAccessibility(); }, [] { openAccessibilitySettings(); }, this)),
      refreshButton_(new PlainButton(QString(), rajdhaniSemiBold(13), Palette::cyberTextSecondary, this)),
      doneButton_(new NeonButton(QString(), Palette::neonCyan, this)) {
  setFixedWidth(kWidth);
  refreshButton_->setSymbol(QStringLiteral("arrow.clockwise"), 12);

  auto* footer = new QHBoxLayout;
  footer->setContentsMargins(24, 14, 24, 14);
  footer->addWidget(refreshButton_);
  footer->addStretch(1);
  footer->addWidget(doneButton_);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addStretch(1);
  column->addWidget(header_);
  column->addWidget(new GateSeparator(Palette::cyberSeparator, 0, this));
  column->addWidget(microphoneRow_);
  column->addWidget(new GateSeparator(Palette::cyberSeparator, 58, this));
  column->addWidget(accessibilityRow_);
  column->addWidget(new GateSeparator(Palette::cyberSeparator, 0, this));
  column->addLayout(footer);
  column->addStretch(1);

  connect(refreshButton_, &QAbstractButton::clicked, this, [this] { pm_.refresh(); });
  connect(doneButton_, &QAbstractButton::clicked, this, [this] {
    if (onDone_) onDone_();
  });
  connect(&pm_, &PermissionManager::microphoneStatusChanged, this, &PermissionGateView::render);
  connect(&pm_, &PermissionManager::accessibilityStatusChanged, this, &PermissionGateView::render);
  connect(&lang, &LanguageManager::currentChanged, this, &PermissionGateView::render);
  render();
}

void PermissionGateView::render() {
  const AppStrings& strings = currentStrings();
  setAccessibleName(strings.permManage);
  header_->setAllGranted(pm_.allGranted());
  for (PermRow* row : {microphoneRow_, accessibilityRow_}) {
    row->authButton()->setText(strings.permGoAuth);
    row->manageButton()->setText(strings.manage);
  }
  microphoneRow_->setContent(strings.permMicrophone, strings.permMicrophoneDesc, pm_.microphoneStatus());
  accessibilityRow_->setContent(strings.permAccessibility, strings.permAccessibilityDesc, pm_.accessibilityStatus());
  refreshButton_->setText(strings.btnRefresh);
  doneButton_->setText(strings.btnDone);
  updateGeometry();
  update();
}

void PermissionGateView::authoriseMicrophone() {
  if (pm_.microphoneStatus() == PermissionStatus::notDetermined) {
    // The request answers later; the model publishes the answer itself.
    auto request = pm_.requestMicrophone();
  } else {
    // Asked before: the desktop will not ask again, its settings can.
    openSystemURL(kMicrophoneSettingsAddress);
  }
}

void PermissionGateView::authoriseAccessibility() {
  pm_.requestAccessibility();
  // The settings open just after the explanation, behind it.
  QTimer::singleShot(Clock::scaledMs(500), [] { openAccessibilitySettings(); });
}

void PermissionGateView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) pm_.refresh();
}

void PermissionGateView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Palette::cyberPanelBg);
}
