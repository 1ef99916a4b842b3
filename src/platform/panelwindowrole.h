#pragma once

class QWindow;

// Tells the window manager what a floating panel is: a utility window of its
// own, kept above the other windows and out of task bars and pagers. Of its
// own, because window managers treat a window that belongs to the program's
// other windows by those windows' state: KWin hides such utility windows while
// the program is not the active one (and it never is), and minimises them
// with the main window.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed nothing is told beyond what
// Qt's own window flags say.
class PanelWindowRole {
 public:
  virtual ~PanelWindowRole() = default;

  // Call it once the window exists, before each showing and again right
  // after: a window manager that learns of the last hiding late drops states
  // set before the showing, while it keeps a request made after.
  virtual void markAsPanel(QWindow& window) = 0;

  static PanelWindowRole& current();
  // Installs `role` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(PanelWindowRole* role);
};
