#include "mainwindow/permissionstatuslabel.h"

#include "localization/appstrings.h"
#include "mainwindow/symbolview.h"
#include "mainwindow/textlabel.h"
#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/palette.h"

#include <QHBoxLayout>

using namespace Palette;

PermissionStatusLabel::PermissionStatusLabel(QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(5);
  symbol_ = new SymbolView(symbolOf(PermissionStatus::notDetermined), 12, colorOf(PermissionStatus::notDetermined),
                            this);
  text_ = new TextLabel(rajdhaniSemiBold(12), colorOf(PermissionStatus::notDetermined), this);
  row->addWidget(symbol_);
  row->addWidget(text_);
  glow_ = new GlowEffect(Glow{withOpacity(colorOf(PermissionStatus::notDetermined), 0.4), 3}, this);
  setGraphicsEffect(glow_);
}

void PermissionStatusLabel::setStatus(PermissionStatus status) {
  const QColor color = colorOf(status);
  symbol_->setSymbol(symbolOf(status));
  symbol_->setColor(color);
  text_->setText(textOf(status));
  text_->setColor(color);
  glow_->setGlow(Glow{withOpacity(color, 0.4), 3});
}

QString PermissionStatusLabel::text() const { return text_->text(); }

QColor PermissionStatusLabel::colorOf(PermissionStatus status) {
  switch (status) {
    case PermissionStatus::granted:
      return neonGreen;
    case PermissionStatus::denied:
      return neonRed;
    case PermissionStatus::notDetermined:
      break;
  }
  return neonOrange;
}

QString PermissionStatusLabel::symbolOf(PermissionStatus status) {
  switch (status) {
    case PermissionStatus::granted:
      return QStringLiteral("checkmark.circle.fill");
    case PermissionStatus::denied:
      return QStringLiteral("xmark.circle.fill");
    case PermissionStatus::notDetermined:
      break;
  }
  return QStringLiteral("questionmark.circle.fill");
}

QString PermissionStatusLabel::textOf(PermissionStatus status) {
  const AppStrings& strings = currentStrings();
  switch (status) {
    case PermissionStatus::granted:
      return strings.statusOk;
    case PermissionStatus::denied:
      return strings.statusDenied;
    case PermissionStatus::notDetermined:
      break;
  }
  return strings.statusPending;
}
