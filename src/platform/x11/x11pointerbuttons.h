#pragma once

#include "platform/pointerbuttons.h"

#include <QByteArray>

struct _XDisplay;

// The buttons as the X server holds them, whichever client has taken the
// pointer (the window manager, while it moves a window by its frame): asked
// on a private connection, opened at the first question. Without a display
// no button is held.
class X11PointerButtons final : public PointerButtons {
 public:
  explicit X11PointerButtons(QByteArray displayName = {});
  ~X11PointerButtons() override;
  X11PointerButtons(const X11PointerButtons&) = delete;
  X11PointerButtons& operator=(const X11PointerButtons&) = delete;

  bool anyHeld() override;

 private:
  QByteArray displayName_;
  _XDisplay* display_ = nullptr;
};
