#pragma once

#include <QObject>

#include <functional>

class QMenu;
class QSystemTrayIcon;

// The program's icon in the desktop's tray. It shows whether a recording
// runs and opens its menu on a click of either mouse button; the menu is
// filled anew (by whoever set the builder) each time it opens, so it always
// shows the current state.
class StatusItem : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool recordingIcon READ recordingIcon NOTIFY iconChanged)

 public:
  using MenuBuilder = std::function<void(QMenu& menu)>;

  explicit StatusItem(QObject* parent = nullptr);
  ~StatusItem() override;

  void setMenuBuilder(MenuBuilder builder) { builder_ = std::move(builder); }

  void show();
  // The idle or the recording image.
  void updateStatusIcon(bool recording);
  bool recordingIcon() const { return recording_; }

  // Opens the menu at the pointer, filled anew.
  void popUpMenu();

  QSystemTrayIcon* trayIcon() const { return tray_; }
  QMenu* menu() const { return menu_; }

 Q_SIGNALS:
  void iconChanged();

 private:
  void rebuildMenu();

  QSystemTrayIcon* tray_ = nullptr;
  QMenu* menu_ = nullptr;
  MenuBuilder builder_;
  bool recording_ = false;
};
