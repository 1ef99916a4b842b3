#pragma once

#include <QObject>

class QMenu;
class QSystemTrayIcon;

// The program's icon in the desktop's tray, with its menu. The menu is built
// anew each time it opens, so it always shows the current state.
class StatusItem : public QObject {
  Q_OBJECT

 public:
  explicit StatusItem(QObject* parent = nullptr);
  ~StatusItem() override;

  void show();
  QSystemTrayIcon* trayIcon() const { return tray_; }
  QMenu* menu() const { return menu_; }

 Q_SIGNALS:
  void quitRequested();

 private:
  void rebuildMenu();

  QSystemTrayIcon* tray_ = nullptr;
  QMenu* menu_ = nullptr;
};
