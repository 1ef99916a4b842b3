#include "platform/x11/x11focusrefusal.h"

#include "platform/x11/qtxcbwindow.h"

#include <QWindow>

#include <algorithm>

void X11FocusRefusal::refuseFocus(QWindow& window) {
  xcb_connection_t* connection = QtXcbWindow::connection();
  if (!connection) return;
  const auto id = xcb_window_t(window.winId());
  const xcb_atom_t protocols = QtXcbWindow::atom(connection, "WM_PROTOCOLS");
  const xcb_atom_t takeFocus = QtXcbWindow::atom(connection, "WM_TAKE_FOCUS");
  if (protocols == XCB_ATOM_NONE || takeFocus == XCB_ATOM_NONE) return;

  std::vector<xcb_atom_t> offered = QtXcbWindow::atoms(connection, id, protocols);
  const auto kept = std::remove(offered.begin(), offered.end(), takeFocus);
  if (kept == offered.end()) return;  // nothing offered, or already withdrawn
  offered.erase(kept, offered.end());
  // The other protocols (closing, pinging) stay as Qt set them.
  QtXcbWindow::setAtoms(connection, id, protocols, offered);
  xcb_flush(connection);
}
