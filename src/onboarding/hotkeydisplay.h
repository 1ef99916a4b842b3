#pragma once

#include "pipeline/hotkeycombo.h"

#include <QString>

// The combination the onboarding pages show for an operation: the user's
// configuration as it stands, or, when the user removed that hotkey, the
// default one (Alt with Q, E or W), so the page always names a key.
QString displayedHotKey(HotKeyCombo combo);
