#pragma once

// Whether the user holds a pointer button down anywhere on the desktop, also
// where another program (the window manager moving a window by its title bar)
// has taken the pointer.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake or the real one. Until something is installed only the
// buttons held over the program's own windows count.
class PointerButtons {
 public:
  virtual ~PointerButtons() = default;

  virtual bool anyHeld() = 0;

  static PointerButtons& current();
  // Installs `buttons` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(PointerButtons* buttons);
};
