#pragma once

// The input method the user composes text with (Chinese, Japanese, Korean):
// keys typed into a program go through it, and it holds what they spell as a
// composition until the user commits it.
//
// The program installs the real implementation at start-up (app/); tests
// install their own. Until something is installed there is no input method.
class InputMethod {
 public:
  virtual ~InputMethod() = default;

  // Commits the composition open in the window that has the focus, as the
  // input method commits it when the user switches it off, and leaves the
  // input method as it was. True when it was composing (a composition may have
  // been committed).
  virtual bool commitComposition() = 0;

  static InputMethod& current();
  // Installs `method` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(InputMethod* method);
};
