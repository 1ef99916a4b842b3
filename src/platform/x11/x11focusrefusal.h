#pragma once

#include "platform/focusrefusal.h"

// The ICCCM "no input" model on Qt's own X connection. Qt marks a window
// that does not accept focus with a false input hint, but still offers
// WM_TAKE_FOCUS, which makes it "globally active": window managers then send
// it the focus message on a click, some first taking the focus from the
// application in front, and Qt hands the focus to any modal dialog of ours.
// Without the offer the window manager leaves the focus alone.
class X11FocusRefusal final : public FocusRefusal {
 public:
  void refuseFocus(QWindow& window) override;
};
