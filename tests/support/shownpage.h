#pragma once

#include <QWidget>

#include <string>
#include <vector>

// What a user would see wrong on a shown window, page, sheet, popover or panel,
// one line per fault (empty when the view looks right):
//  - a text widget (label, button, field) given less room than its text needs
//    and not cut with an ellipsis: narrower than its line, lower than its
//    wrapped lines, a painted button smaller than its label;
//  - a shown label or button with nothing to show: no text, no picture and no
//    accessible name (a text that was never set);
//  - a widget that reaches outside its parent, so part of it is cut off (the
//    content of a scroll area may be larger than its viewport);
//  - a widget left out of its parent's layout (it sits at the parent's corner
//    over its siblings); a widget meant to float sets the dynamic property
//    "floating" to true (decorations that let the mouse through are exempt);
//  - two texts drawn over each other.
// Show the root and let posted layout requests run first (settleLayout()).
std::vector<std::string> shownPageFaults(const QWidget& root);

// Lets posted layout and resize events run, as by the time anything is drawn.
void settleLayout();

// The faults of `root` that stay once its layouts have settled and its running
// animations (a card easing to its new height is cut on purpose meanwhile)
// have had a second to end.
std::vector<std::string> settledPageFaults(const QWidget& root);
