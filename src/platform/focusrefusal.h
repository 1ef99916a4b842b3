#pragma once

class QWindow;

// Tells the window manager that a window never takes the keyboard focus, not
// even when clicked: the floating panels must leave it with the application
// the user types into, where the next request's copy and paste keys go.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed nothing is told beyond what
// Qt's own window flags say.
class FocusRefusal {
 public:
  virtual ~FocusRefusal() = default;

  // Call it once the window exists and before each showing.
  virtual void refuseFocus(QWindow& window) = 0;

  static FocusRefusal& current();
  // Installs `refusal` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(FocusRefusal* refusal);
};
