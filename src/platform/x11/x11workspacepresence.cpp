#include "platform/x11/x11workspacepresence.h"

#include "platform/x11/qtxcbwindow.h"

#include <QWindow>

#include <algorithm>

namespace {

constexpr quint32 kAllDesktops = 0xFFFFFFFF;

void setProperties(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t desktop, xcb_atom_t state,
                   xcb_atom_t sticky) {
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, desktop, XCB_ATOM_CARDINAL, 32, 1, &kAllDesktops);
  // Keep the states Qt set (above, skip taskbar, ...) and add ours once.
  std::vector<xcb_atom_t> states = QtXcbWindow::atoms(connection, window, state);
  if (std::find(states.begin(), states.end(), sticky) != states.end()) return;
  states.push_back(sticky);
  QtXcbWindow::setAtoms(connection, window, state, states);
}

}  // namespace

void X11WorkspacePresence::showOnAllWorkspaces(QWindow& window) {
  xcb_connection_t* connection = QtXcbWindow::connection();
  if (!connection) return;
  const auto id = xcb_window_t(window.winId());
  const xcb_atom_t desktop = QtXcbWindow::atom(connection, "_NET_WM_DESKTOP");
  const xcb_atom_t state = QtXcbWindow::atom(connection, "_NET_WM_STATE");
  const xcb_atom_t sticky = QtXcbWindow::atom(connection, "_NET_WM_STATE_STICKY");
  if (desktop == XCB_ATOM_NONE || state == XCB_ATOM_NONE || sticky == XCB_ATOM_NONE) return;

  if (window.isVisible()) {
    // The last value names the source: a normal application.
    constexpr quint32 kAdd = 1;
    QtXcbWindow::askWindowManager(connection, id, desktop, {kAllDesktops, 1});
    QtXcbWindow::askWindowManager(connection, id, state, {kAdd, sticky, 0, 1});
  } else {
    setProperties(connection, id, desktop, state, sticky);
  }
  xcb_flush(connection);
}
