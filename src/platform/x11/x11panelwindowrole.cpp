#include "platform/x11/x11panelwindowrole.h"

#include "platform/x11/qtxcbwindow.h"

#include <QWindow>

#include <algorithm>

using QtXcbWindow::atom;

void X11PanelWindowRole::markAsPanel(QWindow& window) {
  xcb_connection_t* connection = QtXcbWindow::connection();
  if (!connection) return;
  const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
  const xcb_atom_t above = atom(connection, "_NET_WM_STATE_ABOVE");
  const xcb_atom_t skipTaskbar = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
  const xcb_atom_t skipPager = atom(connection, "_NET_WM_STATE_SKIP_PAGER");
  if (state == XCB_ATOM_NONE || above == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE || skipPager == XCB_ATOM_NONE) {
    return;
  }

  if (window.isVisible()) {
    const auto id = xcb_window_t(window.winId());
    // Add; the last value names the source: a normal application.
    constexpr quint32 kAdd = 1;
    QtXcbWindow::askWindowManager(connection, id, state, {kAdd, above, skipTaskbar, 1});
    QtXcbWindow::askWindowManager(connection, id, state, {kAdd, skipPager, XCB_ATOM_NONE, 1});
    xcb_flush(connection);
    return;
  }

  // Qt writes the window's type and transient hint from its flags: first
  // the flags (a change rewrites the type), then the hints.
  const Qt::WindowFlags flags = window.flags();
  if ((flags & Qt::WindowType_Mask) == Qt::Tool) window.setFlags((flags & ~Qt::WindowType_Mask) | Qt::Window);
  const auto id = xcb_window_t(window.winId());
  const xcb_atom_t type = atom(connection, "_NET_WM_WINDOW_TYPE");
  const xcb_atom_t utility = atom(connection, "_NET_WM_WINDOW_TYPE_UTILITY");
  const xcb_atom_t normal = atom(connection, "_NET_WM_WINDOW_TYPE_NORMAL");
  const xcb_atom_t noBorder = atom(connection, "_KDE_NET_WM_WINDOW_TYPE_OVERRIDE");
  if (type != XCB_ATOM_NONE && utility != XCB_ATOM_NONE && normal != XCB_ATOM_NONE && noBorder != XCB_ATOM_NONE) {
    // As Qt names a borderless tool window; NORMAL for window managers that know no other type.
    QtXcbWindow::setAtoms(connection, id, type, {utility, noBorder, normal});
  }
  xcb_delete_property(connection, id, XCB_ATOM_WM_TRANSIENT_FOR);

  // Keep the states set already (sticky, ...) and add ours once each.
  std::vector<xcb_atom_t> states = QtXcbWindow::atoms(connection, id, state);
  for (xcb_atom_t wanted : {above, skipTaskbar, skipPager}) {
    if (std::find(states.begin(), states.end(), wanted) == states.end()) states.push_back(wanted);
  }
  QtXcbWindow::setAtoms(connection, id, state, states);
  xcb_flush(connection);
}
