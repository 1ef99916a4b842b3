#include "mainwindow/applicationwindows.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace ApplicationWindows {
namespace {

bool isUserWindow(const QWidget* widget) {
  if (!widget->isWindow()) return false;
  switch (widget->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::Desktop:
    case Qt::SplashScreen:
      return false;
    default:
      break;
  }
  // The X11 tray icon is a small window of its own that the tray host embeds.
  return !widget->windowFlags().testFlag(Qt::BypassWindowManagerHint);
}

}  // namespace

QList<QWidget*> all() {
  QList<QWidget*> remaining;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (isUserWindow(widget)) remaining.append(widget);
  }
  // Qt lists widgets in no particular order; their native windows are listed
  // in the order they were made.
  QList<QWidget*> ordered;
  for (QWindow* window : QGuiApplication::topLevelWindows()) {
    for (qsizetype i = 0; i < remaining.size(); ++i) {
      if (remaining[i]->windowHandle() == window) {
        ordered.append(remaining.takeAt(i));
        break;
      }
    }
  }
  ordered.append(remaining);
  return ordered;
}

bool isPanel(const QWidget* window) {
  switch (window->windowType()) {
    case Qt::Tool:
    case Qt::Dialog:
    case Qt::Sheet:
    case Qt::Drawer:
      return true;
    default:
      return false;
  }
}

}  // namespace ApplicationWindows
