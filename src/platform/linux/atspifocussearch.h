#pragma once

#include "platform/linux/atspideadline.h"
#include "platform/linux/atspireference.h"

struct AtspiObjectStates;

// Finds where the user types in an application: below its active window
// (below every window when none is active: under a keyboard grab GTK calls
// none active), the focused text that takes typing.
//
// Applications mark more than that object FOCUSED, and announce the others
// last: LibreOffice its window's root pane and the panel around the document
// besides the paragraph being typed in, Kate the cells of its side lists and
// every widget that forwards its focus to the editor. Without a focused
// editable text the first focused object found is the answer.
//
// An application that offers the Collection interface is asked for its
// focused objects in one request, except below objects that manage their
// descendants (a spreadsheet, a large table or list), whose children may be
// countless: those are entered only when they have a few children, and what
// lies beside them is asked the same way. The others are walked depth first through what is on
// screen, up to a bounded number of objects. Either way the
// search ends at its deadline with what it found by then: a capture must not
// wait for it longer than its messaging time-out.
class AtspiFocusSearch {
 public:
  explicit AtspiFocusSearch(const AtspiDeadline& deadline) : deadline_(deadline) {}

  struct Found {
    AtspiReference text;           // focused, editable, with a Text interface
    AtspiReference focused;        // the first focused object, when no such text was found
    bool sawActiveWindow = false;  // none is active while a keyboard grab holds the focus
  };
  Found inApplication(_AtspiAccessible* application);

 private:
  bool timeLeft() const { return deadline_.timeLeft(); }
  void searchWindow(_AtspiAccessible* window, Found& found);
  // Searches below `root`, at `depth` below the window: with the Collection
  // interface where it has it (around the objects that manage their
  // descendants), else by a walk.
  void searchTree(_AtspiAccessible* root, int depth, Found& found);
  // Searches each child of `root` on its own, leaving out what is below
  // those that manage their descendants.
  void searchChildren(_AtspiAccessible* root, int depth, Found& found);
  void walk(_AtspiAccessible* node, int depth, Found& found);
  // Notes `accessible`, in `states`, if it is focused.
  static void consider(_AtspiAccessible* accessible, const AtspiObjectStates& states, Found& found);

  AtspiDeadline deadline_;
  int visits_ = 0;
};
