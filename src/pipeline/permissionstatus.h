#pragma once

#include <QtGlobal>

// The state of one grant the program needs (the microphone, or the desktop
// trust that the hotkeys, the selection capture and the typing rely on).
enum class PermissionStatus : quint8 {
  granted = 0,
  denied = 1,
  notDetermined = 2,
};
