#pragma once

class QWindow;

// Keeps a window on every workspace (virtual desktop) of the desktop, so a
// floating panel stays in view when the user switches workspaces.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed windows stay on the workspace
// the window manager puts them on.
class WorkspacePresence {
 public:
  virtual ~WorkspacePresence() = default;

  // Marks `window` for every workspace. Call it before each showing (window
  // managers forget the mark of a window that was hidden) and again right
  // after: a busy window manager that learns of the hiding only then erases
  // the mark made before, while it still takes a request made after.
  virtual void showOnAllWorkspaces(QWindow& window) = 0;

  static WorkspacePresence& current();
  // Installs `presence` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(WorkspacePresence* presence);
};
