#pragma once

struct _AtspiAccessible;

// The states of one object that tell where the user types, as libatspi
// has them (atspi_accessible_clear_cache first for the application's answer).
struct AtspiObjectStates {
  bool defunct = false;
  bool focused = false;
  bool active = false;
  bool showing = false;
  bool visible = false;
  bool editable = false;
  bool managesDescendants = false;

  static AtspiObjectStates of(_AtspiAccessible* accessible);
};

// Whether `accessible` offers the Text interface.
bool atspiHasText(_AtspiAccessible* accessible);

// Whether `accessible`, in `states`, is the text the user types into: it has
// the focus, takes typing and offers its text (a root pane, a frame or a
// list's cell that says it is focused has no editable text).
bool atspiIsFocusedEditableText(_AtspiAccessible* accessible, const AtspiObjectStates& states);
