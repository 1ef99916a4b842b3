#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

// How the main window sits in the part of its screen that the desktop's own
// panels and docks leave free (the work area). All in the desktop's logical
// pixels.
namespace ScreenFit {

// The size of the window's content: the size it asks for wherever the work
// area holds it with the window manager's frame, else as much of it as the
// work area holds, but never less than `minimum`.
QSize contentSize(const QSize& asked, const QSize& minimum, const QRect& workArea, const QMargins& frame);

// Where the window's frame goes so that it lies inside the work area: moved
// just far enough, its top-left corner kept inside when it is too large.
QPoint framePosition(const QRect& frame, const QRect& workArea);

}  // namespace ScreenFit
