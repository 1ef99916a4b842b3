#pragma once

#include "platform/linux/atspiconnection.h"
#include "platform/linux/atspideadline.h"

#include <QCoroTask>
#include <QtGlobal>

#include <chrono>

struct _AtspiAccessible;

// Whether an object on the accessibility bus belongs to the application in
// front, where the user types. Only such an object is the desktop's focused
// element: a field keeps calling itself focused for a moment after its window
// went behind (Qt: about 0.1 s, its window staying active as long), and an
// application in front that does not speak AT-SPI (xterm, most games, Java
// without its bridge) announces nothing, so the field last focused in a window
// behind it would be read, and a rewrite would replace text there.
//
// The object's process must be the front window's process. That holds while
// the hotkey that starts a request is held, although our keyboard grab then
// takes the focus and the active state from the whole application (GTK drops
// both at once, Qt after 0.1 s): the window manager's active window does not
// move.
//
// A sandboxed application (Flatpak) reaches the bus through a proxy process.
// Flatpak starts the proxy, in a sandbox of its own, from the process that
// then becomes the application's sandbox: the object is in front when the
// front window's process (as the X server knows it, not the sandbox's number
// the window names) and the proxy descend from one such process. Where that
// cannot be told, the object counts as in front while it is focused and its
// window says it is the active one; under the hotkey's grab GTK says neither.
struct AtspiFrontCheck {
  enum class Verdict { inFront, behind, askTheWindow };

  // By the process the accessibility bus names for the object.
  static Verdict byProcess(qint32 objectProcess);
  // Whether `process` is a bus proxy standing between a sandbox and the bus.
  static bool isSandboxProxy(qint32 process);
  // Whether the bus proxy `proxy` was started for the sandbox `application` runs in.
  static bool sharesSandbox(qint32 proxy, qint32 application);

  // Whether the window holding `accessible` is the active one, as told by
  // `deadline` (no answer by then is no).
  static bool windowIsActive(_AtspiAccessible* accessible, const AtspiDeadline& deadline);
  // The same without waiting on the calling thread.
  static QCoro::Task<bool> windowIsActiveLater(AtspiObjectPath object, std::chrono::milliseconds timeout);
};
