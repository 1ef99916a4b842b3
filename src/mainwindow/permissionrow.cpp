#include "mainwindow/permissionrow.h"

#include "localization/appstrings.h"
#include "mainwindow/permissionstatuslabel.h"
#include "mainwindow/symbolview.h"
#include "mainwindow/textlabel.h"
#include "theme/fonts.h"
#include "theme/neonbutton.h"
#include "theme/palette.h"

#include <QHBoxLayout>

using namespace Palette;

PermissionRow::PermissionRow(const QString& icon, const QColor& iconColor, QWidget* parent)
    : QWidget(parent), iconColor_(iconColor) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(22, 16, 22, 16);
  row->setSpacing(16);
  auto* symbol = new SymbolView(icon, 15, iconColor, this);
  symbol->setFrame(QSize(24, symbol->sizeHint().height()));
  symbol->setGlow(Glow{withOpacity(iconColor, 0.4), 3});
  row->addWidget(symbol);
  title_ = new TextLabel(rajdhaniSemiBold(15), cyberTextPrimary, this);
  row->addWidget(title_);
  row->addStretch(1);
  status_ = new PermissionStatusLabel(this);
  row->addWidget(status_);
  action_ = new NeonButton(QString(), iconColor, this);
  row->addWidget(action_);
  connect(action_, &QAbstractButton::clicked, this, &PermissionRow::actionRequested);
}

void PermissionRow::setState(const QString& title, PermissionStatus status) {
  const bool granted = status == PermissionStatus::granted;
  title_->setText(title);
  status_->setStatus(status);
  action_->setText(granted ? currentStrings().manage : currentStrings().permGoAuth);
  action_->setColor(granted ? cyberTextSecondary : iconColor_);
}
