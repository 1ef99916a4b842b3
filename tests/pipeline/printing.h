#pragma once

#include "pipeline/hotkeycombo.h"

#include <QString>

#include <ostream>

// Failure messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Failure messages name combos by their raw value.
inline void PrintTo(HotKeyCombo combo, std::ostream* out) { *out << rawValue(combo).toStdString(); }
