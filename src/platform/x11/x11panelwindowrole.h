#pragma once

#include "platform/panelwindowrole.h"

// A panel on X11 is a window no window manager manages (override-redirect),
// as menus and notification bubbles are. No hint set kept every window
// manager in hand: with the utility type and a false input hint, i3 gives the
// panel the focus when the pointer enters or clicks it (it ignores the hint
// of a window without WM_TAKE_FOCUS), spectrwm when it shows, bspwm and dwm
// tile it, herbstluftwm moves it to a corner and names it the active window;
// with WM_TAKE_FOCUS offered, i3 and spectrwm name the panel the active window
// (the program would then take itself for the application in front), and
// awesome moves the focus to a window of its own. A window outside their
// hands keeps its place and size, stays in view whichever workspace is shown,
// and is given the focus by no one. It stays above the application windows:
// window managers restack their own windows among themselves, and the panel
// is raised each time it shows.
class X11PanelWindowRole final : public PanelWindowRole {
 public:
  void markAsPanel(QWindow& window) override;
};
