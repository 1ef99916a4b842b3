#include "platform/linux/dbusmenuexporter.h"

#include <QMetaObject>

namespace {

// dbusmenu marks a mnemonic with an underscore; the titles have none.
QString label(const QString& title) {
  QString escaped = title;
  return escaped.replace(u'_', QStringLiteral("__"));
}

// Each key of the sequence as modifier names and the key's own name.
QList<QStringList> shortcutKeys(const QKeySequence& sequence) {
  QList<QStringList> keys;
  for (int i = 0; i < sequence.count(); ++i) {
    const QKeyCombination combination = sequence[i];
    QStringList names;
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & Qt::ControlModifier) names << QStringLiteral("Control");
    if (modifiers & Qt::AltModifier) names << QStringLiteral("Alt");
    if (modifiers & Qt::ShiftModifier) names << QStringLiteral("Shift");
    if (modifiers & Qt::MetaModifier) names << QStringLiteral("Super");
    names << QKeySequence(combination.key()).toString(QKeySequence::PortableText).toLower();
    keys << names;
  }
  return keys;
}

}  // namespace

DBusMenuExporter::DBusMenuExporter(QObject* parent) : QDBusAbstractAdaptor(parent) {
  registerDBusStatusTypes();
}

void DBusMenuExporter::setMenu(const StatusIcon::Menu& menu) {
  if (menu == menu_) return;
  bool sameShape = menu.size() == menu_.size();
  for (qsizetype i = 0; sameShape && i < menu.size(); ++i) sameShape = menu[i].isSeparator() == menu_[i].isSeparator();
  const StatusIcon::Menu before = std::exchange(menu_, menu);
  changed_ = true;
  if (!sameShape) {
    Q_EMIT LayoutUpdated(++revision_, 0);
    return;
  }
  // The same items under the same ids: only what changed, in place.
  QList<DBusMenuItem> updated;
  QList<DBusMenuItemKeys> removed;
  for (qsizetype i = 0; i < menu.size(); ++i) {
    if (menu[i] == before[i]) continue;
    const int id = int(i) + 1;
    updated << DBusMenuItem{id, properties(id)};
    if (!before[i].shortcut.isEmpty() && menu[i].shortcut.isEmpty()) {
      removed << DBusMenuItemKeys{id, {QStringLiteral("shortcut")}};
    }
  }
  Q_EMIT ItemsPropertiesUpdated(updated, removed);
}

QVariantMap DBusMenuExporter::properties(int id) const {
  if (id == 0) return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
  const StatusIcon::MenuEntry& entry = menu_[id - 1];
  if (entry.isSeparator()) return {{QStringLiteral("type"), QStringLiteral("separator")}};
  // Screen readers hear the title too: trays keep an item's accessible name
  // from when they made it unless the item names one.
  QVariantMap properties{{QStringLiteral("label"), label(entry.title)},
                         {QStringLiteral("accessible-desc"), entry.title},
                         {QStringLiteral("enabled"), entry.enabled},
                         {QStringLiteral("visible"), true}};
  if (!entry.shortcut.isEmpty()) {
    properties.insert(QStringLiteral("shortcut"), QVariant::fromValue(shortcutKeys(entry.shortcut)));
  }
  return properties;
}

QVariantMap DBusMenuExporter::only(const QVariantMap& properties, const QStringList& names) {
  if (names.isEmpty()) return properties;
  QVariantMap kept;
  for (const QString& name : names) {
    if (properties.contains(name)) kept.insert(name, properties.value(name));
  }
  return kept;
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                 DBusMenuLayout& layout) {
  layout = DBusMenuLayout{};
  if (!knows(parentId)) return revision_;
  layout.id = parentId;
  layout.properties = only(properties(parentId), propertyNames);
  if (parentId == 0 && recursionDepth != 0) {
    for (int id = 1; id <= menu_.size(); ++id) {
      layout.children << DBusMenuLayout{id, only(properties(id), propertyNames), {}};
    }
  }
  return revision_;
}

QList<DBusMenuItem> DBusMenuExporter::GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames) {
  QList<DBusMenuItem> items;
  for (int id : ids) {
    if (knows(id)) items << DBusMenuItem{id, only(properties(id), propertyNames)};
  }
  return items;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name) {
  return QDBusVariant(knows(id) ? properties(id).value(name) : QVariant());
}

void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
  if (eventId != QLatin1String("clicked") || id < 1 || id > menu_.size()) return;
  if (menu_[id - 1].isSeparator() || !menu_[id - 1].enabled) return;
  // The tray waits for the answer; what the choice does (a window, a quit) comes after.
  QMetaObject::invokeMethod(
      this, [this, id] { if (onChosen) onChosen(id - 1); }, Qt::QueuedConnection);
}

QList<int> DBusMenuExporter::EventGroup(const QList<DBusMenuEvent>& events) {
  QList<int> unknown;
  for (const DBusMenuEvent& event : events) {
    if (knows(event.id)) {
      Event(event.id, event.eventId, event.data, event.timestamp);
    } else {
      unknown << event.id;
    }
  }
  return unknown;
}

bool DBusMenuExporter::bringUpToDate() {
  changed_ = false;
  if (onAboutToShow) onAboutToShow();
  return changed_;
}

bool DBusMenuExporter::AboutToShow(int id) { return id == 0 && bringUpToDate(); }

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
  idErrors.clear();
  QList<int> updatesNeeded;
  for (int id : ids) {
    if (!knows(id)) {
      idErrors << id;
    } else if (id == 0 && bringUpToDate()) {
      updatesNeeded << id;
    }
  }
  return updatesNeeded;
}
