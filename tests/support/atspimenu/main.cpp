// veltrine-atspimenu [seconds]: waits for a menu to show anywhere on the desktop
// and prints it as a screen reader meets it, then exits. Many menus are in no
// application's tree (a tray's menu attached to a button of a panel's plug): they
// are found by the events their items send as they show. Prints "ready" once it
// listens, then, once the menu has settled, "menu<TAB><x>,<y>,<width>,<height>"
// and one "item<TAB><name><TAB><x>,<y>,<width>,<height>" for each item on screen,
// top to bottom. Exits 1 when no menu showed within the seconds given (8).
#include <atspi/atspi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Item {
  std::string name;
  AtspiRect place;
};

std::vector<AtspiAccessible*> menus;
guint settle = 0;

std::string role(AtspiAccessible* object) {
  GError* error = nullptr;
  gchar* name = atspi_accessible_get_role_name(object, &error);
  g_clear_error(&error);
  std::string result = name ? name : "";
  g_free(name);
  return result;
}

bool showing(AtspiAccessible* object) {
  AtspiStateSet* states = atspi_accessible_get_state_set(object);
  const bool result = states && atspi_state_set_contains(states, ATSPI_STATE_SHOWING);
  if (states) g_object_unref(states);
  return result;
}

AtspiRect place(AtspiAccessible* object) {
  AtspiRect result{0, 0, 0, 0};
  AtspiComponent* component = atspi_accessible_get_component_iface(object);
  if (!component) return result;
  GError* error = nullptr;
  if (AtspiRect* extents = atspi_component_get_extents(component, ATSPI_COORD_TYPE_SCREEN, &error)) {
    result = *extents;
    g_free(extents);
  }
  g_clear_error(&error);
  g_object_unref(component);
  return result;
}

std::vector<Item> itemsOf(AtspiAccessible* menu) {
  std::vector<Item> items;
  GError* error = nullptr;
  const gint count = atspi_accessible_get_child_count(menu, &error);
  g_clear_error(&error);
  for (gint i = 0; i < count; ++i) {
    AtspiAccessible* child = atspi_accessible_get_child_at_index(menu, i, &error);
    g_clear_error(&error);
    if (!child) continue;
    if (role(child) == "menu item" && showing(child)) {
      gchar* name = atspi_accessible_get_name(child, &error);
      g_clear_error(&error);
      items.push_back({name ? name : "", place(child)});
      g_free(name);
    }
    g_object_unref(child);
  }
  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.place.y < b.place.y; });
  return items;
}

gboolean report(gpointer) {
  std::vector<Item> best;
  AtspiAccessible* shown = nullptr;
  for (AtspiAccessible* menu : menus) {
    if (!showing(menu)) continue;
    std::vector<Item> items = itemsOf(menu);
    if (items.size() > best.size()) {
      best = std::move(items);
      shown = menu;
    }
  }
  if (!shown) {
    settle = 0;
    return G_SOURCE_REMOVE;  // not yet: wait for more events
  }
  const AtspiRect where = place(shown);
  std::printf("menu\t%d,%d,%d,%d\n", where.x, where.y, where.width, where.height);
  for (const Item& item : best) {
    std::printf("item\t%s\t%d,%d,%d,%d\n", item.name.c_str(), item.place.x, item.place.y, item.place.width,
                item.place.height);
  }
  std::fflush(stdout);
  std::exit(0);
}

void noticed(AtspiEvent* event, void*) {
  AtspiAccessible* source = event->source;
  if (!source) return;
  const std::string kind = role(source);
  AtspiAccessible* menu = nullptr;
  if (kind == "menu" || kind == "popup menu") {
    menu = static_cast<AtspiAccessible*>(g_object_ref(source));
  } else if (kind == "menu item") {
    GError* error = nullptr;
    menu = atspi_accessible_get_parent(source, &error);
    g_clear_error(&error);
  }
  if (!menu) return;
  if (std::find(menus.begin(), menus.end(), menu) == menus.end()) {
    menus.push_back(menu);
  } else {
    g_object_unref(menu);
  }
  // Report once the menu's events have stopped for a moment: it is laid out.
  if (settle) g_source_remove(settle);
  settle = g_timeout_add(600, report, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (atspi_init() > 1) return 2;
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 8;
  AtspiEventListener* listener = atspi_event_listener_new(noticed, nullptr, nullptr);
  GError* error = nullptr;
  for (const char* kind : {"object:", "window:"}) atspi_event_listener_register(listener, kind, &error);
  g_clear_error(&error);
  std::printf("ready\n");
  std::fflush(stdout);
  g_timeout_add_seconds(seconds, [](gpointer) -> gboolean { std::exit(1); }, nullptr);
  atspi_event_main();
  return 1;
}
