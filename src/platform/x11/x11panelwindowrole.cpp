#include "platform/x11/x11panelwindowrole.h"

#include <QWindow>

void X11PanelWindowRole::markAsPanel(QWindow& window) {
  // Through Qt, which then takes the window's place as its own and asks no
  // window manager to focus it.
  const Qt::WindowFlags flags = window.flags();
  if (!flags.testFlag(Qt::X11BypassWindowManagerHint)) window.setFlags(flags | Qt::X11BypassWindowManagerHint);
}
