#include "platform/linux/atspifocussearch.h"

#include "platform/linux/atspiobjectstates.h"

#include <atspi/atspi.h>

namespace {

// Bounds of the walk: large enough for dialogs and editors, small enough to
// stay within the capture's time even in a huge window.
constexpr int maximumVisits = 400;
constexpr int maximumDepth = 40;
// Enough for every object an application marks focused at once.
constexpr int maximumMatches = 32;

// A match rule for the objects that say they are focused.
AtspiMatchRule* focusedRule() {
  AtspiStateSet* states = atspi_state_set_new(nullptr);
  atspi_state_set_add(states, ATSPI_STATE_FOCUSED);
  AtspiMatchRule* rule =
      atspi_match_rule_new(states, ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, nullptr,
                           ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, FALSE);
  g_object_unref(states);
  return rule;
}

}  // namespace

AtspiFocusSearch::Found AtspiFocusSearch::inApplication(_AtspiAccessible* application) {
  Found found;
  if (!timeLeft()) return found;
  const gint windows = atspi_accessible_get_child_count(application, nullptr);
  // The active window first; without one, every window.
  for (int pass = 0; pass < 2 && !found.text && !found.focused; ++pass) {
    for (gint i = 0; i < windows && !found.text && timeLeft(); ++i) {
      AtspiReference window = AtspiReference::adopt(atspi_accessible_get_child_at_index(application, i, nullptr));
      if (!window) continue;
      // Our listener hears focus changes only: libatspi's copy of other
      // states may be old, here and below.
      atspi_accessible_clear_cache(window.get());
      const bool active = AtspiObjectStates::of(window.get()).active;
      found.sawActiveWindow |= active;
      if (pass == 1 || active) searchWindow(window.get(), found);
    }
  }
  return found;
}

void AtspiFocusSearch::searchWindow(_AtspiAccessible* window, Found& found) {
  if (!askCollection(window, found)) walk(window, 0, found);
}

bool AtspiFocusSearch::askCollection(_AtspiAccessible* window, Found& found) {
  AtspiCollection* collection = atspi_accessible_get_collection_iface(window);
  if (!collection) return false;
  AtspiMatchRule* rule = focusedRule();
  GError* error = nullptr;
  GArray* matches = atspi_collection_get_matches(collection, rule, ATSPI_Collection_SORT_ORDER_CANONICAL,
                                                 maximumMatches, TRUE, &error);
  g_object_unref(rule);
  g_object_unref(collection);
  if (error || !matches) {
    g_clear_error(&error);
    if (matches) g_array_free(matches, TRUE);
    return false;
  }
  for (guint i = 0; i < matches->len; ++i) {
    AtspiReference match = AtspiReference::adopt(g_array_index(matches, AtspiAccessible*, i));
    if (found.text || !timeLeft()) continue;
    atspi_accessible_clear_cache(match.get());
    consider(match.get(), AtspiObjectStates::of(match.get()), found);
  }
  g_array_free(matches, TRUE);
  return true;
}

void AtspiFocusSearch::walk(_AtspiAccessible* node, int depth, Found& found) {
  if (found.text || ++visits_ > maximumVisits || depth > maximumDepth || !timeLeft()) return;
  const AtspiObjectStates states = AtspiObjectStates::of(node);
  consider(node, states, found);
  if (found.text) return;
  // Containers that manage their descendants (lists, tables) are not
  // entered: their children come and go, and may be countless. GTK 4 marks
  // nothing below its windows as showing, only as visible.
  if ((depth > 0 && !states.showing && !states.visible) || states.managesDescendants) return;
  const gint children = atspi_accessible_get_child_count(node, nullptr);
  for (gint i = 0; i < children && !found.text && visits_ <= maximumVisits; ++i) {
    AtspiReference child = AtspiReference::adopt(atspi_accessible_get_child_at_index(node, i, nullptr));
    if (child) walk(child.get(), depth + 1, found);
  }
}

void AtspiFocusSearch::consider(_AtspiAccessible* accessible, const AtspiObjectStates& states, Found& found) {
  if (!states.focused || states.defunct) return;
  if (atspiIsFocusedEditableText(accessible, states)) {
    found.text = AtspiReference::share(accessible);
  } else if (!found.focused) {
    found.focused = AtspiReference::share(accessible);
  }
}
