#pragma once

#include <QtGlobal>

#include <optional>

struct _XDisplay;

// Which process a window belongs to. Toolkits name their process
// (_NET_WM_PID) on top-level windows only; the windows inside them, which
// take the focus or own a selection, are found through their ancestors.
struct X11ClientWindow {
  unsigned long window = 0;
  qint32 pid = 0;
};

// One 32-bit item of a window property of `type` (a window id or a number), when set.
std::optional<unsigned long> x11CardinalProperty(_XDisplay* display, unsigned long window, unsigned long property,
                                                 unsigned long type);

// The process named on the window itself, when it names one.
std::optional<qint32> x11WindowPid(_XDisplay* display, unsigned long window);

// `window` or its closest ancestor below the root that names its process.
std::optional<X11ClientWindow> x11ClientWindow(_XDisplay* display, unsigned long window);
