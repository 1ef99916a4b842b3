#include "platform/x11/x11selectionownerwatch.h"

#include "platform/x11/x11errortrap.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

int watchSelectionOwner(Display* display, Atom selection) {
  int eventBase = 0, errorBase = 0;
  if (!XFixesQueryExtension(display, &eventBase, &errorBase)) return 0;
  X11ErrorTrap trap(display);
  XFixesSelectSelectionInput(display, DefaultRootWindow(display), selection,
                             XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                 XFixesSelectionClientCloseNotifyMask);
  trap.sync();
  return eventBase;
}
