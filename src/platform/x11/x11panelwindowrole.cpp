#include "platform/x11/x11panelwindowrole.h"

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

std::vector<xcb_atom_t> atoms(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property) {
  std::vector<xcb_atom_t> values;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 1024), nullptr);
  if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
    const auto* begin = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    values.assign(begin, begin + xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t)));
  }
  free(reply);
  return values;
}

void setAtoms(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
              const std::vector<xcb_atom_t>& values) {
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32, uint32_t(values.size()),
                      values.data());
}

// Asks the window manager to add two states (the second may be none) to a shown window.
void addStates(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t first,
               xcb_atom_t second) {
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
  const xcb_window_t root = tree ? tree->root : xcb_window_t(XCB_WINDOW_NONE);
  free(tree);
  if (root == XCB_WINDOW_NONE) return;
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = property;
  // Add; the last value names the source: a normal application.
  message.data.data32[0] = 1;
  message.data.data32[1] = first;
  message.data.data32[2] = second;
  message.data.data32[3] = 1;
  xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
}

}  // namespace

void X11PanelWindowRole::markAsPanel(QWindow& window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
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
    addStates(connection, id, state, above, skipTaskbar);
    addStates(connection, id, state, skipPager, XCB_ATOM_NONE);
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
    setAtoms(connection, id, type, {utility, noBorder, normal});
  }
  xcb_delete_property(connection, id, XCB_ATOM_WM_TRANSIENT_FOR);

  // Keep the states set already (sticky, ...) and add ours once each.
  std::vector<xcb_atom_t> states = atoms(connection, id, state);
  for (xcb_atom_t wanted : {above, skipTaskbar, skipPager}) {
    if (std::find(states.begin(), states.end(), wanted) == states.end()) states.push_back(wanted);
  }
  setAtoms(connection, id, state, states);
  xcb_flush(connection);
}
