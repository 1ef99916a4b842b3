#pragma once

#include "platform/linux/dbusstatustypes.h"
#include "platform/statusicon.h"

#include <QDBusAbstractAdaptor>
#include <QObject>

#include <functional>

// The status icon's menu as a desktop's tray reads it over D-Bus
// (com.canonical.dbusmenu): complete from the moment it is exported, each
// entry under the same id for the whole run (its place in the menu, from 1),
// and every change sent as it happens: new titles and states as property
// updates of the items concerned, a new shape of the menu as a new layout
// revision. A tray then holds the current menu before the first click and
// sizes it from what it will show.
//
// Register the parent object at the menu's path; the adaptor is its interface.
class DBusMenuExporter final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
  Q_PROPERTY(uint Version READ version)
  Q_PROPERTY(QString TextDirection READ textDirection)
  Q_PROPERTY(QString Status READ status)
  Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

 public:
  explicit DBusMenuExporter(QObject* parent);

  void setMenu(const StatusIcon::Menu& menu);
  const StatusIcon::Menu& menu() const { return menu_; }

  // The user chose the entry at `index`; called from the event loop, after
  // the tray has had its answer.
  std::function<void(int index)> onChosen;
  // The tray is about to show the menu: the menu may be set anew from here.
  std::function<void()> onAboutToShow;

  uint version() const { return 3; }
  QString textDirection() const { return QStringLiteral("ltr"); }
  QString status() const { return QStringLiteral("normal"); }
  QStringList iconThemePath() const { return {}; }

 public Q_SLOTS:
  uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames, DBusMenuLayout& layout);
  QList<DBusMenuItem> GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
  QDBusVariant GetProperty(int id, const QString& name);
  void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
  QList<int> EventGroup(const QList<DBusMenuEvent>& events);
  bool AboutToShow(int id);
  QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

 Q_SIGNALS:
  void ItemsPropertiesUpdated(const QList<DBusMenuItem>& updatedProps, const QList<DBusMenuItemKeys>& removedProps);
  void LayoutUpdated(uint revision, int parent);
  void ItemActivationRequested(int id, uint timestamp);

 private:
  QVariantMap properties(int id) const;
  static QVariantMap only(const QVariantMap& properties, const QStringList& names);
  bool knows(int id) const { return id >= 0 && id <= menu_.size(); }
  // Asks the program for the current menu; whether anything changed.
  bool bringUpToDate();

  StatusIcon::Menu menu_;
  uint revision_ = 1;
  bool changed_ = false;
};
