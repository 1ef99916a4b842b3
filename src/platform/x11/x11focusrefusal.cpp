#include "platform/x11/x11focusrefusal.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
  const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  free(reply);
  return result;
}

}  // namespace

void X11FocusRefusal::refuseFocus(QWindow& window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return;
  const auto id = xcb_window_t(window.winId());
  const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
  const xcb_atom_t takeFocus = atom(connection, "WM_TAKE_FOCUS");
  if (protocols == XCB_ATOM_NONE || takeFocus == XCB_ATOM_NONE) return;

  std::vector<xcb_atom_t> offered;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, id, protocols, XCB_ATOM_ATOM, 0, 64), nullptr);
  if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
    const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    offered.assign(values, values + xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t)));
  }
  free(reply);
  const auto kept = std::remove(offered.begin(), offered.end(), takeFocus);
  if (kept == offered.end()) return;  // nothing offered, or already withdrawn
  offered.erase(kept, offered.end());
  // The other protocols (closing, pinging) stay as Qt set them.
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, protocols, XCB_ATOM_ATOM, 32, uint32_t(offered.size()),
                      offered.data());
  xcb_flush(connection);
}
