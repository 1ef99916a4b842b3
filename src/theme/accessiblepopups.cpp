#include "theme/accessiblepopups.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QWidget>

namespace {

const char* const kExposed = "veltrineAccessiblePopup";

// The shown popups that asked to be reachable.
QList<QWidget*> exposedPopups() {
  QList<QWidget*> popups;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && widget->property(kExposed).toBool()) popups.append(widget);
  }
  return popups;
}

// Qt's application object with the exposed popups after its own windows.
class ApplicationWithPopups final : public QAccessibleApplication {
 public:
  int childCount() const override { return QAccessibleApplication::childCount() + int(exposedPopups().size()); }

  QAccessibleInterface* child(int index) const override {
    const int windows = QAccessibleApplication::childCount();
    if (index < windows) return QAccessibleApplication::child(index);
    const QList<QWidget*> popups = exposedPopups();
    index -= windows;
    return index < popups.size() ? QAccessible::queryAccessibleInterface(popups.at(index)) : nullptr;
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    const int window = QAccessibleApplication::indexOfChild(child);
    if (window >= 0 || !child) return window;
    const qsizetype popup = exposedPopups().indexOf(qobject_cast<QWidget*>(child->object()));
    return popup < 0 ? -1 : QAccessibleApplication::childCount() + int(popup);
  }
};

QAccessibleInterface* makeInterface(const QString& className, QObject* object) {
  if (object == QCoreApplication::instance() && className == QLatin1String("QApplication")) {
    return new ApplicationWithPopups;
  }
  // An exposed popup is a window to a screen reader, as the program's other
  // windows are (a plain widget would be a nameless panel).
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget && widget->isWindow() && widget->property(kExposed).toBool()) {
    return new QAccessibleWidget(widget, QAccessible::Window);
  }
  return nullptr;
}

void installFactory() { QAccessible::installFactory(&makeInterface); }

}  // namespace

// At load time: see the header.
Q_CONSTRUCTOR_FUNCTION(installFactory)

namespace AccessiblePopups {

void expose(QWidget* popup) { popup->setProperty(kExposed, true); }

}  // namespace AccessiblePopups
