#pragma once

class QWindow;

// What a floating panel is to the window manager, told in one place: a panel
// floats above the other windows at its own size and place, on every
// workspace, and never takes the keyboard from the application the user types
// into, neither when it shows nor when the pointer enters or clicks it.
// Window managers differ on what they do with a window they manage: tiling
// ones tile it, move it, or give it the focus however it is marked.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed nothing is told beyond what
// Qt's own window flags say.
class PanelWindowRole {
 public:
  virtual ~PanelWindowRole() = default;

  // Call it once the window exists and before each showing, while it is
  // hidden: what a window manager learns of a window it learns when the
  // window is shown.
  virtual void markAsPanel(QWindow& window) = 0;

  static PanelWindowRole& current();
  // Installs `role` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(PanelWindowRole* role);
};
