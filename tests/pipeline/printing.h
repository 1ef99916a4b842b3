#pragma once

#include "pipeline/hotkeycombo.h"

#include <ostream>

// Failure messages name combos by their raw value.
inline void PrintTo(HotKeyCombo combo, std::ostream* out) { *out << rawValue(combo).toStdString(); }
