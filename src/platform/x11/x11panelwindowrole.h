#pragma once

#include "platform/panelwindowrole.h"

// The EWMH and ICCCM hints on Qt's own X connection. Qt's X11 layer makes a
// tool window transient for the program's client leader (WM_TRANSIENT_FOR),
// and window managers then treat it as a child of every window of the
// program: KWin hides it while the program is not active and minimises it
// with the main window. The panel's native window is therefore a plain
// window to Qt (the widget stays a tool window to the rest of the program),
// which names no window it belongs to, and it gets the utility type Qt gives
// a borderless tool window, as before. openbox, mutter and xfwm4 show it the
// same either way.
//
// Before a showing the states go on as properties (above, out of task bars
// and pagers: no longer a transient, the window would otherwise be listed);
// on a window already shown they are asked of the window manager, which
// may have dropped them while it learned late of the last hiding (mutter).
class X11PanelWindowRole final : public PanelWindowRole {
 public:
  void markAsPanel(QWindow& window) override;
};
