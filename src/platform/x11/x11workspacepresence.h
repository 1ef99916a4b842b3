#pragma once

#include "platform/workspacepresence.h"

// The EWMH way on Qt's own X connection: a window about to be mapped gets
// _NET_WM_DESKTOP 0xFFFFFFFF and _NET_WM_STATE_STICKY as properties, which the
// window manager reads when it maps it; a window already shown is moved by
// asking the window manager through the root window.
class X11WorkspacePresence final : public WorkspacePresence {
 public:
  void showOnAllWorkspaces(QWindow& window) override;
};
