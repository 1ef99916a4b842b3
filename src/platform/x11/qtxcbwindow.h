#pragma once

#include <QtGlobal>

#include <initializer_list>
#include <vector>

#include <xcb/xcb.h>

class QWindow;

// What the floating panels tell the window manager goes out on Qt's own X
// connection, in order with the requests Qt makes for the same window.
namespace QtXcbWindow {

// Qt's connection; none off X11.
xcb_connection_t* connection();

// The atom named `name`; XCB_ATOM_NONE when it cannot be had.
xcb_atom_t atom(xcb_connection_t* connection, const char* name);

// A window's property of atoms, as it stands; empty when it has none.
std::vector<xcb_atom_t> atoms(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property);
void setAtoms(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
              const std::vector<xcb_atom_t>& values);

// Asks the window manager to change `type` on a window it manages (an EWMH
// client message to the root window).
void askWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type,
                      std::initializer_list<quint32> data);

}  // namespace QtXcbWindow
