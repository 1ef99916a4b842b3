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

// The process of the client that made `window`, any window of it, as this
// machine numbers it: the X server's own record of its local clients
// (X-Resource). Tk, Xaw and Motif programs name no process on their windows,
// and a sandboxed application (Flatpak) names one of its sandbox's own. Only
// a client the server cannot place (on another machine) falls back to the
// _NET_WM_PID of the application's window.
std::optional<qint32> pid(_XDisplay* display, unsigned long window);

// The application window that `window` belongs to (the windows inside it take
// the focus or own a selection), with its process: `window` or its closest
// ancestor that the window manager manages (WM_STATE); without a window
// manager, the first on the way that an application named (WM_CLASS or
// _NET_WM_PID).
struct ClientWindow {
  unsigned long window = 0;
  qint32 pid = 0;
};
std::optional<ClientWindow> clientWindow(_XDisplay* display, unsigned long window);

// Whether process `process` runs Tk: every Tk application lists a window of
// its own for Tk's send command on the root window (InterpRegistry), and
// names itself on that window (TK_APPLICATION).
bool runsTk(_XDisplay* display, qint32 process);

// The window's title: _NET_WM_NAME, else WM_NAME.
QString title(_XDisplay* display, unsigned long window);

}  // namespace X11WindowProperties
