#include "app/statusitem.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

StatusItem::StatusItem(QObject* parent) : QObject(parent), tray_(new QSystemTrayIcon(this)), menu_(new QMenu()) {
  tray_->setIcon(QIcon(QStringLiteral(":/icons/veltrine.svg")));
  tray_->setToolTip(QStringLiteral("Veltrine"));
  tray_->setContextMenu(menu_);
  connect(menu_, &QMenu::aboutToShow, this, &StatusItem::rebuildMenu);
  rebuildMenu();
}

StatusItem::~StatusItem() { delete menu_; }

void StatusItem::show() { tray_->show(); }

void StatusItem::rebuildMenu() {
  menu_->clear();
  menu_->addAction(QStringLiteral("Quit Veltrine"), this, &StatusItem::quitRequested);
}
