#pragma once

#include "platform/linux/dbusstatustypes.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>

class StatusNotifierItem;

// org.kde.StatusNotifierItem for a StatusNotifierItem, which it reads.
class StatusNotifierItemAdaptor final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
  Q_PROPERTY(QString Category READ category)
  Q_PROPERTY(QString Id READ id)
  Q_PROPERTY(QString Title READ title)
  Q_PROPERTY(QString Status READ status)
  Q_PROPERTY(int WindowId READ windowId)
  Q_PROPERTY(QString IconThemePath READ iconThemePath)
  Q_PROPERTY(QString IconName READ iconName)
  Q_PROPERTY(QList<DBusStatusImage> IconPixmap READ iconPixmap)
  Q_PROPERTY(QString OverlayIconName READ none)
  Q_PROPERTY(QList<DBusStatusImage> OverlayIconPixmap READ noImages)
  Q_PROPERTY(QString AttentionIconName READ none)
  Q_PROPERTY(QList<DBusStatusImage> AttentionIconPixmap READ noImages)
  Q_PROPERTY(QString AttentionMovieName READ none)
  Q_PROPERTY(DBusStatusToolTip ToolTip READ toolTip)
  Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
  Q_PROPERTY(QDBusObjectPath Menu READ menu)

 public:
  explicit StatusNotifierItemAdaptor(StatusNotifierItem* item);

  QString category() const { return QStringLiteral("ApplicationStatus"); }
  QString id() const;
  QString title() const;
  QString status() const { return QStringLiteral("Active"); }
  int windowId() const { return 0; }
  QString iconThemePath() const;
  QString iconName() const;
  QList<DBusStatusImage> iconPixmap() const;
  QString none() const { return {}; }
  QList<DBusStatusImage> noImages() const { return {}; }
  DBusStatusToolTip toolTip() const;
  bool itemIsMenu() const { return true; }
  QDBusObjectPath menu() const;

 public Q_SLOTS:
  void ContextMenu(int x, int y);
  void Activate(int x, int y);
  void SecondaryActivate(int x, int y);
  void Scroll(int delta, const QString& orientation);

 Q_SIGNALS:
  void NewTitle();
  void NewIcon();
  void NewAttentionIcon();
  void NewOverlayIcon();
  void NewToolTip();
  void NewStatus(const QString& status);

 private:
  StatusNotifierItem* item_;
};
