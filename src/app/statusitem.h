#pragma once

#include "platform/statusicon.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>

// The program's icon in the desktop's tray. It shows whether a recording
// runs and opens its menu on a click of either mouse button. The menu is built
// (by whoever set the builder) whenever something in it may have changed and
// handed whole to the tray, which then holds it before the first click and
// shows each change in place.
class StatusItem : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool recordingIcon READ recordingIcon NOTIFY iconChanged)

 public:
  // An entry of the menu as shown, and what choosing it does.
  struct Entry {
    StatusIcon::MenuEntry shown;
    std::function<void()> action;
  };
  using MenuBuilder = std::function<QList<Entry>()>;

  explicit StatusItem(QObject* parent = nullptr);
  ~StatusItem() override;

  void setMenuBuilder(MenuBuilder builder);

  void show();
  // The idle or the recording image.
  void updateStatusIcon(bool recording);
  bool recordingIcon() const { return recording_; }

  // Builds the menu again from the current state.
  void refreshMenu();
  // Opens the menu at the pointer.
  void popUpMenu();

  StatusIcon& icon() { return *icon_; }

 Q_SIGNALS:
  void iconChanged();

 private:
  std::unique_ptr<StatusIcon> icon_;
  MenuBuilder builder_;
  QList<Entry> entries_;
  bool recording_ = false;
};
