#include "platform/linux/statusnotifieritem.h"

#include "core/logging.h"
#include "platform/linux/dbusmenuexporter.h"
#include "platform/linux/statusnotifieritemadaptor.h"

#include <QCoreApplication>
#include <QDBusMessage>

namespace {
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
}  // namespace

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      serviceName_(QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid())),
      menuObject_(new QObject(this)),
      menu_(new DBusMenuExporter(menuObject_)) {
  registerDBusStatusTypes();
  new StatusNotifierItemAdaptor(this);
  exported_ = bus_.registerObject(QStringLiteral("/StatusNotifierItem"), this) &&
              bus_.registerObject(QStringLiteral("/MenuBar"), menuObject_) && bus_.registerService(serviceName_);
  if (!exported_) qCWarning(lcAppDelegate, "the status item could not be put on the session bus");
}

StatusNotifierItem::~StatusNotifierItem() {
  bus_.unregisterService(serviceName_);
  bus_.unregisterObject(QStringLiteral("/MenuBar"));
  bus_.unregisterObject(QStringLiteral("/StatusNotifierItem"));
}

void StatusNotifierItem::registerWithWatcher() {
  if (!exported_) return;
  QDBusMessage call = QDBusMessage::createMethodCall(kWatcher, QStringLiteral("/StatusNotifierWatcher"), kWatcher,
                                                     QStringLiteral("RegisterStatusNotifierItem"));
  call << serviceName_;
  bus_.call(call, QDBus::NoBlock);
}

void StatusNotifierItem::setIcon(const QString& name, const QString& themePath, const QList<DBusStatusImage>& pixmaps) {
  if (name == iconName_ && themePath == themePath_) return;
  iconName_ = name;
  themePath_ = themePath;
  pixmaps_ = pixmaps;
  Q_EMIT iconChanged();
}
