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

  // Marks `window` for every workspace. Call it before each showing: window
  // managers forget the mark of a window that was hidden.
  virtual void showOnAllWorkspaces(QWindow& window) = 0;

  static WorkspacePresence& current();
  // Installs `presence` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(WorkspacePresence* presence);
};
