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
