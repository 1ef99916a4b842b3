#pragma once

#include "platform/linux/dbusstatustypes.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>

#include <functional>

class DBusMenuExporter;

// The status icon as a StatusNotifierItem on the session bus, with its menu
// exported beside it: a name of its own ("org.kde.StatusNotifierItem-<pid>-1"),
// the item at /StatusNotifierItem and the menu at /MenuBar. It names its icon
// twice: by a name in an icon folder of its own (IconThemePath), which hosts
// that recolour symbolic icons draw in their panel's colour, and as pixmaps
// for hosts that read no names.
//
// The item only opens its menu (ItemIsMenu): a host that still asks it to
// act on a click, or to show its menu itself, gets onMenuAsked.
class StatusNotifierItem final : public QObject {
  Q_OBJECT

 public:
  explicit StatusNotifierItem(QDBusConnection bus, QObject* parent = nullptr);
  ~StatusNotifierItem() override;

  // Whether the bus took the name and the objects.
  bool isExported() const { return exported_; }
  // Announces the item to the bus's StatusNotifierWatcher (again, after a
  // new watcher came).
  void registerWithWatcher();

  void setIcon(const QString& name, const QString& themePath, const QList<DBusStatusImage>& pixmaps);
  DBusMenuExporter& menu() { return *menu_; }

  // A host asked the item to show its menu itself.
  std::function<void()> onMenuAsked;

  // What the adaptor reads.
  QString iconName() const { return iconName_; }
  QString iconThemePath() const { return themePath_; }
  QList<DBusStatusImage> iconPixmap() const { return pixmaps_; }

 Q_SIGNALS:
  void iconChanged();

 private:
  QDBusConnection bus_;
  QString serviceName_;
  QObject* menuObject_ = nullptr;
  DBusMenuExporter* menu_ = nullptr;
  QString iconName_;
  QString themePath_;
  QList<DBusStatusImage> pixmaps_;
  bool exported_ = false;
};
