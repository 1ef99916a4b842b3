#include "platform/x11/x11workspacepresence.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

constexpr quint32 kAllDesktops = 0xFFFFFFFF;

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
  const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  free(reply);
  return result;
}

xcb_window_t rootOf(xcb_connection_t* connection, xcb_window_t window) {
  xcb_query_tree_reply_t* reply = xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
  const xcb_window_t root = reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
  free(reply);
  return root;
}

void setProperties(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t desktop, xcb_atom_t state,
                   xcb_atom_t sticky) {
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, desktop, XCB_ATOM_CARDINAL, 32, 1, &kAllDesktops);

  // Keep the states Qt set (above, skip taskbar, ...) and add ours once.
  std::vector<xcb_atom_t> states;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, state, XCB_ATOM_ATOM, 0, 1024), nullptr);
  if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
    const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    states.assign(values, values + xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t)));
  }
  free(reply);
  for (xcb_atom_t present : states) {
    if (present == sticky) return;
  }
  states.push_back(sticky);
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                      states.data());
}

void askWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type,
                      std::initializer_list<quint32> data) {
  const xcb_window_t root = rootOf(connection, window);
  if (root == XCB_WINDOW_NONE) return;
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = type;
  int index = 0;
  for (quint32 value : data) message.data.data32[index++] = value;
  xcb_send_event(connection, 0, root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
}

}  // namespace

void X11WorkspacePresence::showOnAllWorkspaces(QWindow& window) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return;
  const auto id = xcb_window_t(window.winId());
  const xcb_atom_t desktop = atom(connection, "_NET_WM_DESKTOP");
  const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
  const xcb_atom_t sticky = atom(connection, "_NET_WM_STATE_STICKY");
  if (desktop == XCB_ATOM_NONE || state == XCB_ATOM_NONE || sticky == XCB_ATOM_NONE) return;

  if (window.isVisible()) {
    // The last value names the source: a normal application.
    constexpr quint32 kAdd = 1;
    askWindowManager(connection, id, desktop, {kAllDesktops, 1});
    askWindowManager(connection, id, state, {kAdd, sticky, 0, 1});
  } else {
    setProperties(connection, id, desktop, state, sticky);
  }
  xcb_flush(connection);
}
