#pragma once

#include "platform/frontapplication.h"

#include <QString>

// Deletes the selection an answer is about to replace, in an application that
// pastes beside a selection instead of over it (Emacs, Tk: see
// pastesBesideSelection; Xaw). The selection may be gone by the time the answer
// comes (clicked away, the cursor moved), and a lost selection must cost no
// character: nothing is deleted unless
// - PRIMARY is owned by the application and holds exactly the captured text
//   (Tk serves its live selection there, and nothing once a click cleared it;
//   Emacs keeps the text of the region it showed last), and
// - the application's copy key copies exactly that text again. Emacs's region
//   ended with the copy that read it at the start, and its copy takes the text
//   between mark and cursor: a cursor moved since is found here.
// The deletion is the application's cut (Shift+Delete), whose text on the
// clipboard shows it was done: Tk cuts its selection or nothing, Emacs the
// text between mark and cursor that the copy has just found. (Delete would
// take a character in Emacs, whose region has ended.)
//
// Xaw texts have no copy key: their selection is PRIMARY alone, their cut
// deletes it and gives PRIMARY up, which shows it was done. While PRIMARY
// holds the captured text, the selection is still the one captured.
//
// Main thread only; waits up to 0.3 s for each key's clipboard.
namespace SelectionEraser {

// True when `captured` was cut.
bool erase(const RunningApplication& app, const QString& captured);

}  // namespace SelectionEraser
