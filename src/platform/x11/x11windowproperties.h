#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

struct _XDisplay;

// Reading what other clients publish on their windows. Window and atom ids
// are Xlib's (unsigned long), kept out of this header so that Xlib's macros
// stay in the .cpp files. Errors go to whatever X11ErrorTrap the caller holds.
namespace X11WindowProperties {

// Every 32-bit item of a property of type `type` (window ids, atoms, numbers).
QList<unsigned long> longs(_XDisplay* display, unsigned long window, const char* property, unsigned long type);
// One such item, when the property holds exactly one.
std::optional<unsigned long> single(_XDisplay* display, unsigned long window, const char* property,
                                    unsigned long type);

// The process that made the window, when the window says it has one
// (_NET_WM_PID), as this machine numbers it: a sandboxed application (Flatpak)
// runs with process ids of its own and names one of those, so the X server's
// record of its local client wins (X-Resource).
std::optional<qint32> pid(_XDisplay* display, unsigned long window);

// Toolkits name their process on top-level windows only; the windows inside
// them, which take the focus or own a selection, are found through their
// ancestors: `window` or its closest ancestor below the root that names its
// process, with that process.
struct ClientWindow {
  unsigned long window = 0;
  qint32 pid = 0;
};
std::optional<ClientWindow> clientWindow(_XDisplay* display, unsigned long window);

// The window's title: _NET_WM_NAME, else WM_NAME.
QString title(_XDisplay* display, unsigned long window);

}  // namespace X11WindowProperties
