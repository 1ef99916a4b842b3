#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The D-Bus structures of a StatusNotifierItem and of the menu it exports
// (com.canonical.dbusmenu), as hosts read them. Lists of them are written out
// as QList<...> wherever D-Bus sees them: Qt's D-Bus finds a method's types by
// their names, and knows no other names for them.

// One size of an icon: ARGB32 in network byte order, (iiay).
struct DBusStatusImage {
  int width = 0;
  int height = 0;
  QByteArray argb;
};

// (sa(iiay)ss): icon name, images, title, text.
struct DBusStatusToolTip {
  QString iconName;
  QList<DBusStatusImage> images;
  QString title;
  QString text;
};

// A menu item with its children, (ia{sv}av), each child in a variant.
struct DBusMenuLayout {
  int id = 0;
  QVariantMap properties;
  QList<DBusMenuLayout> children;
};

// (ia{sv}): an item's properties.
struct DBusMenuItem {
  int id = 0;
  QVariantMap properties;
};

// (ias): properties an item no longer has.
struct DBusMenuItemKeys {
  int id = 0;
  QStringList names;
};

// (isvu): one event of EventGroup.
struct DBusMenuEvent {
  int id = 0;
  QString eventId;
  QDBusVariant data;
  uint timestamp = 0;
};

Q_DECLARE_METATYPE(DBusStatusImage)
Q_DECLARE_METATYPE(DBusStatusToolTip)
Q_DECLARE_METATYPE(DBusMenuLayout)
Q_DECLARE_METATYPE(DBusMenuItem)
Q_DECLARE_METATYPE(DBusMenuItemKeys)
Q_DECLARE_METATYPE(DBusMenuEvent)

QDBusArgument& operator<<(QDBusArgument& argument, const DBusStatusImage& image);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusStatusImage& image);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusStatusToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusStatusToolTip& toolTip);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayout& layout);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayout& layout);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& keys);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& keys);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

// Registers every type above with Qt's D-Bus (once; any thread).
void registerDBusStatusTypes();
