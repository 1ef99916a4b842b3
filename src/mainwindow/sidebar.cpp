#include "mainwindow/sidebar.h"

#include "localization/appstrings.h"
#include "mainwindow/accountbutton.h"
#include "mainwindow/appiconview.h"
#include "mainwindow/recorderstatusline.h"
#include "mainwindow/sidebaritem.h"
#include "mainwindow/squaresymbolbutton.h"
#include "mainwindow/themedscrollarea.h"
#include "theme/cyberdividerline.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"
#include "theme/scanlinetexture.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

SquareSymbolButton::Look languageLook() {
  SquareSymbolButton::Look look;
  look.symbol = QStringLiteral("globe");
  look.symbolSize = 14;
  look.symbolColor = Palette::neonCyan;
  look.fill = Palette::withOpacity(Palette::neonCyan, 0.15);
  look.outline = Palette::withOpacity(Palette::neonCyan, 0.4);
  look.outlineWidth = 1;
  look.glow = Glow{Palette::withOpacity(Palette::neonCyan, 0.35), 4};
  return look;
}

SquareSymbolButton::Look permissionLook(bool allGranted) {
  const QColor base = allGranted ? Palette::neonGreen : Palette::neonOrange;
  SquareSymbolButton::Look look;
  look.symbol = allGranted ? QStringLiteral("lock.shield.fill") : QStringLiteral("lock.shield");
  look.symbolSize = 14;
  look.symbolColor = allGranted ? Palette::withOpacity(Palette::neonGreen, 0.75) : Palette::neonOrange;
  look.fill = Palette::withOpacity(base, 0.1);
  look.outline = Palette::withOpacity(base, 0.3);
  look.outlineWidth = 0.8;
  look.glow = Glow{Palette::withOpacity(base, 0.3), 3};
  if (!allGranted) look.badge = Palette::neonOrange;
  return look;
}

}  // namespace

Sidebar::Sidebar(QWidget* parent) : QWidget(parent) {
  setFixedWidth(sidebarWidth);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  // On a screen too short for the whole column the header and the entries
  // scroll; the footer with the account, language and permission buttons
  // always stays in view.
  auto* scroll = new ThemedScrollArea(this);
  QWidget* top = scroll->content();
  auto* topColumn = new QVBoxLayout(top);
  topColumn->setContentsMargins(0, 0, 0, 0);
  topColumn->setSpacing(0);
  topColumn->addWidget(makeHeader(top));
  topColumn->addWidget(new CyberDividerLine(Palette::neonCyan, top));

  auto* entries = new QVBoxLayout;
  entries->setContentsMargins(0, 20, 0, 20);
  entries->setSpacing(6);
  for (SidebarTab tab : allSidebarTabs()) {
    auto* entry = new SidebarItem(iconName(tab), label(tab), top);
    connect(entry, &SidebarItem::clicked, this, [this, tab] { Q_EMIT tabChosen(tab); });
    entries->addWidget(entry);
    items_.insert(tab, entry);
  }
  topColumn->addLayout(entries);
  topColumn->addStretch(1);
  column->addWidget(scroll, 1);
  column->addWidget(new CyberDividerLine(Palette::neonGreen, this));
  column->addWidget(makeFooter());

  setSelectedTab(SidebarTab::home);
  setPermissionsGranted(false);
  retranslate();
}

QWidget* Sidebar::makeHeader(QWidget* parent) {
  auto* header = new QWidget(parent);
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(24, 28, 24, 28);
  row->setSpacing(14);
  row->addWidget(new AppIconView(header));
  title_ = new NeonTitleLabel(QString(), {Palette::neonCyan, Palette::neonGreen}, 20, header);
  row->addWidget(title_);
  row->addStretch(1);
  return header;
}

QWidget* Sidebar::makeFooter() {
  auto* footer = new QWidget(this);
  auto* column = new QVBoxLayout(footer);
  // The status line and the account button keep a little room before their
  // first drawing for the ring and the glow; the padding makes up for it.
  column->setContentsMargins(20 - RecorderStatusLine::leadingRoom, 18, 20, 18);
  column->setSpacing(16);
  statusLine_ = new RecorderStatusLine(footer);
  column->addWidget(statusLine_);

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(10);
  account_ = new AccountButton(footer);
  connect(account_, &AccountButton::clicked, this, &Sidebar::accountPressed);
  buttons->addWidget(account_);
  buttons->addStretch(1);
  language_ = new SquareSymbolButton(false, footer);
  language_->setLook(languageLook());
  connect(language_, &SquareSymbolButton::clicked, this, &Sidebar::languagePressed);
  buttons->addWidget(language_, 0, Qt::AlignBottom);
  permission_ = new SquareSymbolButton(true, footer);
  connect(permission_, &SquareSymbolButton::clicked, this, &Sidebar::permissionPressed);
  buttons->addWidget(permission_, 0, Qt::AlignBottom);
  column->addLayout(buttons);
  return footer;
}

void Sidebar::setSelectedTab(SidebarTab tab) {
  for (auto entry = items_.begin(); entry != items_.end(); ++entry) entry.value()->setSelected(entry.key() == tab);
}

void Sidebar::setRecordingState(RecordingState state) { statusLine_->setState(state); }

void Sidebar::setAccount(const std::optional<QString>& email, const QString& tier) {
  account_->setAccount(email, tier);
}

void Sidebar::setPermissionsGranted(bool allGranted) {
  allGranted_ = allGranted;
  permission_->setLook(permissionLook(allGranted));
  const QString permissionText = allGranted ? currentStrings().permManage : currentStrings().permUnauthorized;
  permission_->setToolTip(permissionText);
  permission_->setAccessibleName(permissionText);
}

void Sidebar::retranslate() {
  const AppStrings& strings = currentStrings();
  title_->setText(strings.appNameShort);
  for (auto entry = items_.begin(); entry != items_.end(); ++entry) entry.value()->setLabel(label(entry.key()));
  // The square buttons show a symbol only: their tooltips name them.
  language_->setToolTip(strings.languageLabel);
  language_->setAccessibleName(strings.languageLabel);
  const QString permissionText = allGranted_ ? strings.permManage : strings.permUnauthorized;
  permission_->setToolTip(permissionText);
  permission_->setAccessibleName(permissionText);
  statusLine_->updateGeometry();
  statusLine_->update();
  account_->retranslate();
}

void Sidebar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Palette::cyberBgDeep);
  ScanlineTexture{0.025}.paint(painter, rect());
}
