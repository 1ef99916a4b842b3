#pragma once

#include "platform/frontapplication.h"

#include <QString>

#include <optional>

// The text `app` shows highlighted, read from the PRIMARY selection with no
// key sent: programs of the X tradition (xterm and its kin among them) take
// PRIMARY when the user highlights text, and a key that would copy it can have
// side effects there (an interrupt in a terminal). Nothing when another
// program holds PRIMARY, or when a click on a window of `app` has cleared the
// highlight since it took PRIMARY (it keeps the old text for its middle
// button).
std::optional<QString> highlightedSelection(const RunningApplication& app);

// Whether `app` still shows the text it holds on PRIMARY: it owns PRIMARY, no
// click on it has cleared the highlight, and, in a program that takes PRIMARY
// again after every key that leaves a selection shown (Emacs, gvim), no key
// reached it since it did. The hotkeys never reach it: a selection the user
// keeps is still shown at the second request over it, and at the tenth. (A
// key that ends the selection can itself make the program take PRIMARY once
// more: a selection ended by the last key before the hotkey still counts as
// shown.)
bool showsHighlightedSelection(const RunningApplication& app);
