#include "platform/x11/qtxcbwindow.h"

#include <QGuiApplication>

#include <cstdlib>
#include <cstring>

namespace QtXcbWindow {

xcb_connection_t* connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

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

void askWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type,
                      std::initializer_list<quint32> data) {
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
  const xcb_window_t root = tree ? tree->root : xcb_window_t(XCB_WINDOW_NONE);
  free(tree);
  if (root == XCB_WINDOW_NONE) return;
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = type;
  int index = 0;
  for (quint32 value : data) message.data.data32[index++] = value;
  xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
}

}  // namespace QtXcbWindow
