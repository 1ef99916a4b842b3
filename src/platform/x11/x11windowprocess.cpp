#include "platform/x11/x11windowprocess.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

std::optional<unsigned long> x11CardinalProperty(Display* display, Window window, Atom property, Atom type) {
  Atom actualType = 0;
  int actualFormat = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  std::optional<unsigned long> value;
  if (XGetWindowProperty(display, window, property, 0, 1, False, type, &actualType, &actualFormat, &count,
                         &remaining, &data) == Success &&
      data && actualType == type && actualFormat == 32 && count == 1) {
    value = *reinterpret_cast<unsigned long*>(data);
  }
  if (data) XFree(data);
  return value;
}

std::optional<qint32> x11WindowPid(Display* display, Window window) {
  const Atom netWmPid = XInternAtom(display, "_NET_WM_PID", False);
  const auto pid = x11CardinalProperty(display, window, netWmPid, XA_CARDINAL);
  if (!pid || *pid == 0) return std::nullopt;
  return static_cast<qint32>(*pid);
}

std::optional<X11ClientWindow> x11ClientWindow(Display* display, Window window) {
  const Window root = DefaultRootWindow(display);
  while (window != None && window != PointerRoot && window != root) {
    if (const std::optional<qint32> pid = x11WindowPid(display, window)) return X11ClientWindow{window, *pid};
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &rootReturn, &parent, &children, &count)) return std::nullopt;
    if (children) XFree(children);
    window = parent;
  }
  return std::nullopt;
}
