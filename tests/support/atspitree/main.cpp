// veltrine-atspitree <pid>: prints the accessible tree of that process's
// application as a screen reader reads it over AT-SPI, one object a line: two
// spaces of indent per level, then role, name and description separated by
// tabs (line breaks written as "\n"). Exits 1 when no such application is
// registered. A process of its own: a Qt program reading its own tree would
// wait for answers only its own (blocked) event loop could give.
#include <atspi/atspi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kMaxDepth = 40;

std::string text(gchar* value, GError** error) {
  g_clear_error(error);
  std::string result;
  if (value) {
    for (const char* c = value; *c; ++c) result += *c == '\n' ? std::string("\\n") : std::string(1, *c);
    g_free(value);
  }
  return result;
}

void print(AtspiAccessible* object, int depth) {
  GError* error = nullptr;
  const std::string role = text(atspi_accessible_get_role_name(object, &error), &error);
  const std::string name = text(atspi_accessible_get_name(object, &error), &error);
  const std::string description = text(atspi_accessible_get_description(object, &error), &error);
  std::printf("%s%s\t%s\t%s\n", std::string(2 * depth, ' ').c_str(), role.c_str(), name.c_str(), description.c_str());
  if (depth >= kMaxDepth) return;
  const gint children = atspi_accessible_get_child_count(object, &error);
  g_clear_error(&error);
  for (gint i = 0; i < children; ++i) {
    AtspiAccessible* child = atspi_accessible_get_child_at_index(object, i, &error);
    g_clear_error(&error);
    if (!child) continue;
    print(child, depth + 1);
    g_object_unref(child);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || atspi_init() > 1) return 2;
  const long pid = std::strtol(argv[1], nullptr, 10);
  AtspiAccessible* desktop = atspi_get_desktop(0);
  GError* error = nullptr;
  const gint applications = atspi_accessible_get_child_count(desktop, &error);
  g_clear_error(&error);
  int found = 0;
  for (gint i = 0; i < applications; ++i) {
    AtspiAccessible* application = atspi_accessible_get_child_at_index(desktop, i, &error);
    g_clear_error(&error);
    if (!application) continue;
    // Every answer is asked of the application, none taken from a cache.
    atspi_accessible_set_cache_mask(application, ATSPI_CACHE_NONE);
    if (atspi_accessible_get_process_id(application, &error) == pid) {
      print(application, 0);
      ++found;
    }
    g_clear_error(&error);
    g_object_unref(application);
  }
  g_object_unref(desktop);
  return found > 0 ? 0 : 1;
}
