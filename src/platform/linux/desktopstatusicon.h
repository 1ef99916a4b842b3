#pragma once

#include "platform/statusicon.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <qwindowdefs.h>

#include <memory>

class QMenu;
class QSystemTrayIcon;
class StatusNotifierItem;

// The status icon on the desktop's tray, by the protocol the tray speaks: a
// StatusNotifierItem of our own where a StatusNotifierWatcher has a host
// registered when the icon is first shown (Xfce, MATE, LXQt, Plasma), else an
// XEmbed icon through QSystemTrayIcon (tint2, lxpanel, polybar, trayer).
//
// The idle image takes the colour the tray's panel asks for or shows
// (TrayAppearance, StatusIcon::idleColor); the recording image keeps its own.
// Over StatusNotifierItem both are named in an icon folder of the program's
// own, the idle one as a symbolic icon that hosts may recolour, and sent as
// pixmaps too.
//
// A tray can miss an XEmbed icon's request to be docked: polybar does when it
// calls its icons in again just after it started, and Qt answers with a new
// window. The icon is then on no panel at all, so the program looks whether
// the tray took it and asks again if not.
class DesktopStatusIcon final : public StatusIcon {
 public:
  explicit DesktopStatusIcon(QDBusConnection bus = QDBusConnection::sessionBus());
  ~DesktopStatusIcon() override;

  void setImages(const Images& images) override;
  void setRecording(bool recording) override;
  void setMenu(const Menu& menu) override;
  void show() override;
  void popUpMenu() override;

  // Qt's XEmbed icon window while it shows (a top-level window of its own,
  // which the tray reparents); 0 over StatusNotifierItem.
  static WId xembedIconWindow();

 private:
  void useStatusNotifierItem();
  void useSystemTray();
  // Looks, a few times over the next seconds, whether the tray took the icon.
  void watchDocking();
  void checkDocked();
  // The image of the moment on the tray in use.
  void present();
  QByteArray drawing();
  // The folder hosts look names up in, with `drawing` in it as `name`.svg;
  // empty when there is no place for it.
  QString iconFolderWith(const QString& name, const QByteArray& drawing) const;

  QDBusConnection bus_;
  QDBusServiceWatcher watcher_;
  Images images_;
  Menu menu_;
  bool recording_ = false;
  bool shown_ = false;
  int dockChecksLeft_ = 0;
  std::unique_ptr<QMenu> popup_;
  std::unique_ptr<StatusNotifierItem> item_;
  std::unique_ptr<QSystemTrayIcon> tray_;
};
