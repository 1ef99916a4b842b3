#include "platform/linux/atspifocussearch.h"

#include "platform/linux/atspiobjectstates.h"

#include <atspi/atspi.h>

#include <optional>
#include <vector>

namespace {

// Bounds of the walk: large enough for dialogs and editors, small enough to
// stay within the capture's time even in a huge window.
constexpr int maximumVisits = 400;
constexpr int maximumDepth = 40;
// An object that manages its descendants but has no more children than this
// has only those it shows, made already: asking them costs nothing more.
constexpr int maximumManagedChildren = 200;
// How many such objects a window may hold for one request to go through it.
constexpr int maximumManagingObjects = 4;
// Enough for every object an application marks focused at once.
constexpr int maximumMatches = 32;

// A match rule for the objects in `state`.
AtspiMatchRule* ruleFor(AtspiStateType state) {
  AtspiStateSet* states = atspi_state_set_new(nullptr);
  atspi_state_set_add(states, state);
  AtspiMatchRule* rule =
      atspi_match_rule_new(states, ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, nullptr,
                           ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, FALSE);
  g_object_unref(states);
  return rule;
}

// The objects below the collection's object that match `rule`, in tree
// order, at most `count` (0: all); nothing when it does not answer.
std::optional<std::vector<AtspiReference>> matches(AtspiCollection* collection, AtspiStateType state, int count) {
  AtspiMatchRule* rule = ruleFor(state);
  GError* error = nullptr;
  GArray* found =
      atspi_collection_get_matches(collection, rule, ATSPI_Collection_SORT_ORDER_CANONICAL, count, TRUE, &error);
  g_object_unref(rule);
  std::vector<AtspiReference> result;
  for (guint i = 0; found && i < found->len; ++i) {
    result.push_back(AtspiReference::adopt(g_array_index(found, AtspiAccessible*, i)));
  }
  if (found) g_array_free(found, TRUE);
  if (error) {
    g_clear_error(&error);
    return std::nullopt;
  }
  return result;
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

void AtspiFocusSearch::searchWindow(_AtspiAccessible* window, Found& found) { searchTree(window, 0, found); }

void AtspiFocusSearch::searchTree(_AtspiAccessible* root, int depth, Found& found) {
  if (found.text || depth > maximumDepth || !timeLeft()) return;
  AtspiCollection* collection = atspi_accessible_get_collection_iface(root);
  if (!collection) {
    walk(root, depth, found);
    return;
  }
  // The collection goes through every object below the one it is asked
  // on, and the children of an object that manages its descendants may be
  // countless (a spreadsheet's cells, made on demand: asked for them all,
  // LibreOffice Calc spends minutes and hundreds of megabytes). Asked for
  // that many such objects, it stops at the last without entering it: they
  // are asked for one more at a time while those found have few children.
  // Where one has many, each child is searched on its own.
  std::optional<std::vector<AtspiReference>> managing;
  bool fewChildrenEach = false;
  for (int count = 1; count <= maximumManagingObjects && timeLeft(); ++count) {
    managing = matches(collection, ATSPI_STATE_MANAGES_DESCENDANTS, count);
    if (!managing) break;
    if (managing->size() < size_t(count)) {
      fewChildrenEach = true;
      break;
    }
    if (atspi_accessible_get_child_count(managing->back().get(), nullptr) > maximumManagedChildren) break;
  }
  std::optional<std::vector<AtspiReference>> focused;
  if (fewChildrenEach && timeLeft()) focused = matches(collection, ATSPI_STATE_FOCUSED, maximumMatches);
  g_object_unref(collection);
  if (focused) {
    for (const AtspiReference& match : *focused) {
      if (found.text || !timeLeft()) break;
      atspi_accessible_clear_cache(match.get());
      consider(match.get(), AtspiObjectStates::of(match.get()), found);
    }
  } else if (managing) {
    searchChildren(root, depth, found);
  } else {
    walk(root, depth, found);
  }
}

void AtspiFocusSearch::searchChildren(_AtspiAccessible* root, int depth, Found& found) {
  const gint children = atspi_accessible_get_child_count(root, nullptr);
  for (gint i = 0; i < children && !found.text && timeLeft(); ++i) {
    AtspiReference child = AtspiReference::adopt(atspi_accessible_get_child_at_index(root, i, nullptr));
    if (!child) continue;
    atspi_accessible_clear_cache(child.get());
    const AtspiObjectStates states = AtspiObjectStates::of(child.get());
    consider(child.get(), states, found);
    // Writer's document manages its paragraphs, and has only those on
    // screen: a handful. Calc's sheet says it has 2^31 - 1 cells.
    if (!states.managesDescendants ||
        (timeLeft() && atspi_accessible_get_child_count(child.get(), nullptr) <= maximumManagedChildren)) {
      searchTree(child.get(), depth + 1, found);
    }
  }
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
