#include "platform/linux/statusnotifieritemadaptor.h"

#include "core/paths.h"
#include "platform/linux/statusnotifieritem.h"

namespace {
const QString kTitle = QStringLiteral("Veltrine");
}  // namespace

StatusNotifierItemAdaptor::StatusNotifierItemAdaptor(StatusNotifierItem* item)
    : QDBusAbstractAdaptor(item), item_(item) {
  connect(item, &StatusNotifierItem::iconChanged, this, &StatusNotifierItemAdaptor::NewIcon);
}

QString StatusNotifierItemAdaptor::id() const { return QString::fromLatin1(Paths::kIdentifier); }
QString StatusNotifierItemAdaptor::title() const { return kTitle; }
QString StatusNotifierItemAdaptor::iconThemePath() const { return item_->iconThemePath(); }
QString StatusNotifierItemAdaptor::iconName() const { return item_->iconName(); }
QList<DBusStatusImage> StatusNotifierItemAdaptor::iconPixmap() const { return item_->iconPixmap(); }
DBusStatusToolTip StatusNotifierItemAdaptor::toolTip() const { return {QString(), {}, kTitle, QString()}; }
QDBusObjectPath StatusNotifierItemAdaptor::menu() const { return QDBusObjectPath(QStringLiteral("/MenuBar")); }

// Both mouse buttons open the menu: a host that sends a click instead of
// showing the exported menu gets the same menu at the click.
void StatusNotifierItemAdaptor::ContextMenu(int, int) {
  if (item_->onMenuAsked) item_->onMenuAsked();
}

void StatusNotifierItemAdaptor::Activate(int x, int y) { ContextMenu(x, y); }

void StatusNotifierItemAdaptor::SecondaryActivate(int, int) {}

void StatusNotifierItemAdaptor::Scroll(int, const QString&) {}
