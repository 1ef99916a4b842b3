#include "app/statusitem.h"

#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPalette>
#include <QSystemTrayIcon>

StatusItem::StatusItem(QObject* parent) : QObject(parent), tray_(new QSystemTrayIcon(this)), menu_(new QMenu()) {
  tray_->setToolTip(QStringLiteral("Veltrine"));
  tray_->setContextMenu(menu_);
  connect(menu_, &QMenu::aboutToShow, this, &StatusItem::rebuildMenu);
  // The right button opens the context menu by itself; the left one (and a
  // double click) opens the same menu.
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) popUpMenu();
  });
  updateStatusIcon(false);
}

StatusItem::~StatusItem() { delete menu_; }

void StatusItem::show() { tray_->show(); }

void StatusItem::updateStatusIcon(bool recording) {
  recording_ = recording;
  // At rest a quiet symbol in the desktop's own text colour, so that it
  // reads on a light panel as on a dark one, like the desktop's own icons;
  // while recording the filled symbol in the recording colour.
  const QColor idle = QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
  QIcon icon = recording ? SymbolImage::icon(QStringLiteral("waveform.circle.fill"), Palette::neonRed)
                         : SymbolImage::icon(QStringLiteral("waveform.circle"), idle);
  icon.setIsMask(!recording);
  tray_->setIcon(icon);
  Q_EMIT iconChanged();
}

void StatusItem::popUpMenu() { menu_->popup(QCursor::pos()); }

void StatusItem::rebuildMenu() {
  menu_->clear();
  if (builder_) builder_(*menu_);
}
