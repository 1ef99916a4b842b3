// veltrine-atspitree <pid> [--showing] [--text] [--outside-managed]: prints the accessible tree of
// that process's application as a screen reader reads it over AT-SPI, one
// object a line: two spaces of indent per level, then role, name and
// description separated by tabs (line breaks written as "\n"). --showing
// leaves out the windows' objects that are not on screen, with everything
// below them; --text adds two fields to objects that offer a text: the whole
// text, and its first selection as "<start>-<end>" (empty without one);
// --outside-managed prints nothing below an object that manages its
// descendants and has more than a screenful of them (a spreadsheet's cells
// are countless and made on demand). Exits 1 when no such application is registered. A process of its own:
// a Qt program reading its own tree would wait for answers only its own
// (blocked) event loop could give.
#include <atspi/atspi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kMaxDepth = 40;
// More children than an object that manages them has on screen.
constexpr int kManyChildren = 1000;

std::string text(gchar* value, GError** error) {
  g_clear_error(error);
  std::string result;
  if (value) {
    for (const char* c = value; *c; ++c) result += *c == '\n' ? std::string("\\n") : std::string(1, *c);
    g_free(value);
  }
  return result;
}

bool onlyShowing = false;
bool withText = false;
bool outsideManaged = false;

bool managesDescendants(AtspiAccessible* object) {
  AtspiStateSet* states = atspi_accessible_get_state_set(object);
  const bool manages = atspi_state_set_contains(states, ATSPI_STATE_MANAGES_DESCENDANTS);
  g_object_unref(states);
  return manages;
}

bool isShowing(AtspiAccessible* object) {
  AtspiStateSet* states = atspi_accessible_get_state_set(object);
  const bool showing = atspi_state_set_contains(states, ATSPI_STATE_SHOWING);
  g_object_unref(states);
  return showing;
}

// The object's whole text and its first selection ("<start>-<end>", or
// nothing), each with a tab before it; nothing without a Text interface.
std::string wholeText(AtspiAccessible* object) {
  AtspiText* textInterface = atspi_accessible_get_text_iface(object);
  if (!textInterface) return {};
  GError* error = nullptr;
  const gint length = atspi_text_get_character_count(textInterface, &error);
  g_clear_error(&error);
  std::string result = "\t" + text(atspi_text_get_text(textInterface, 0, length, &error), &error) + "\t";
  if (atspi_text_get_n_selections(textInterface, &error) > 0) {
    AtspiRange* range = atspi_text_get_selection(textInterface, 0, &error);
    if (range) result += std::to_string(range->start_offset) + "-" + std::to_string(range->end_offset);
    g_free(range);
  }
  g_clear_error(&error);
  g_object_unref(textInterface);
  return result;
}

void print(AtspiAccessible* object, int depth) {
  if (onlyShowing && depth > 1 && !isShowing(object)) return;
  GError* error = nullptr;
  const std::string role = text(atspi_accessible_get_role_name(object, &error), &error);
  const std::string name = text(atspi_accessible_get_name(object, &error), &error);
  const std::string description = text(atspi_accessible_get_description(object, &error), &error);
  const std::string contents = withText ? wholeText(object) : std::string();
  std::printf("%s%s\t%s\t%s%s\n", std::string(2 * depth, ' ').c_str(), role.c_str(), name.c_str(),
              description.c_str(), contents.c_str());
  if (depth >= kMaxDepth) return;
  const gint children = atspi_accessible_get_child_count(object, &error);
  g_clear_error(&error);
  if (outsideManaged && children > kManyChildren && managesDescendants(object)) return;
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
  if (argc < 2 || atspi_init() > 1) return 2;
  const long pid = std::strtol(argv[1], nullptr, 10);
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--showing") {
      onlyShowing = true;
    } else if (option == "--text") {
      withText = true;
    } else if (option == "--outside-managed") {
      outsideManaged = true;
    } else {
      return 2;
    }
  }
  AtspiAccessible* desktop = atspi_get_desktop(0);
  GError* error = nullptr;
  const gint applications = atspi_accessible_get_child_count(desktop, &error);
  g_clear_error(&error);
  int found = 0;
  for (gint i = 0; i < applications; ++i) {
    AtspiAccessible* application = atspi_accessible_get_child_at_index(desktop, i, &error);
    g_clear_error(&error);
    if (!application) continue;
    // A process of its own starts with nothing cached. (With the cache off,
    // libatspi's own handling of an application's events, such as
    // LibreOffice sends all the time, asks the application again from
    // within a call that waits, and never returns.)
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
