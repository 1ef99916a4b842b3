#pragma once

#include "platform/accessibleelement.h"

// The desktop's accessibility service: where the selection of the front
// application is read and put back.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed every call answers apiDisabled.
class Accessibility {
 public:
  virtual ~Accessibility() = default;

  // The element that stands for the whole desktop; its focused element is the
  // one that has the keyboard focus, in whichever application.
  virtual AXElementRef systemWide() = 0;
  // The element of the application run by process `pid`; its focused element
  // is the one focused within that application.
  virtual AXElementRef application(qint32 pid) = 0;

  static Accessibility& current();
  // Installs `accessibility` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(Accessibility* accessibility);
};
