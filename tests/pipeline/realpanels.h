#pragma once

// The program's own floating panels on the test desktop, in place of the
// stand-in that notes what would be shown, for as long as this object lives:
// windows of this process that show and hide while the user works, as in the
// running program (the recording indicator at every press, the answer panel,
// which has the keyboard while the user works in its text).

#include "overlays/overlaypanel.h"
#include "overlays/paneloverlaypresenter.h"
#include "overlays/resultoverlaywindowcontroller.h"
#include "platform/x11/x11panelkeyboard.h"
#include "platform/x11/x11panelwindowrole.h"

class RealPanels {
 public:
  RealPanels() {
    PanelWindowRole::install(&role_);
    PanelKeyboard::install(&keyboard_);
    OverlayPresenter::install(&presenter_);
  }
  ~RealPanels() {
    result().hide();
    OverlayPresenter::install(nullptr);
    PanelKeyboard::install(nullptr);
    PanelWindowRole::install(nullptr);
  }
  RealPanels(const RealPanels&) = delete;
  RealPanels& operator=(const RealPanels&) = delete;

  static ResultOverlayWindowController& result() { return ResultOverlayWindowController::shared(); }
  // Whether the answer panel is on screen.
  static bool resultShown() { return result().panel() && result().panel()->isVisible(); }

 private:
  X11PanelWindowRole role_;
  X11PanelKeyboard keyboard_;
  PanelOverlayPresenter presenter_;
};
