#include "platform/linux/atspiobjectstates.h"

#include <atspi/atspi.h>

AtspiObjectStates AtspiObjectStates::of(_AtspiAccessible* accessible) {
  // libatspi answers a state set that could not be read as "defunct".
  AtspiStateSet* states = atspi_accessible_get_state_set(accessible);
  const auto has = [states](AtspiStateType state) { return atspi_state_set_contains(states, state) != FALSE; };
  const AtspiObjectStates flags{has(ATSPI_STATE_DEFUNCT), has(ATSPI_STATE_FOCUSED),  has(ATSPI_STATE_ACTIVE),
                                has(ATSPI_STATE_SHOWING), has(ATSPI_STATE_VISIBLE),  has(ATSPI_STATE_EDITABLE),
                                has(ATSPI_STATE_MANAGES_DESCENDANTS)};
  g_object_unref(states);
  return flags;
}

bool atspiHasText(_AtspiAccessible* accessible) {
  AtspiText* text = atspi_accessible_get_text_iface(accessible);
  if (!text) return false;
  g_object_unref(text);
  return true;
}

bool atspiIsFocusedEditableText(_AtspiAccessible* accessible, const AtspiObjectStates& states) {
  return states.focused && states.editable && !states.defunct && atspiHasText(accessible);
}
