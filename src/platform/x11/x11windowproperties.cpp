#include "platform/x11/x11windowproperties.h"

#include "platform/x11/x11errortrap.h"

#include <QByteArray>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>

namespace X11WindowProperties {

namespace {
// Far more windows than a desktop has, and far longer titles than one shows.
constexpr long kMaxItems = 65536;
}  // namespace

QList<unsigned long> longs(Display* display, Window window, const char* property, Atom type) {
  Atom actualType = None;
  int actualFormat = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  QList<unsigned long> values;
  if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, kMaxItems, False, type,
                         &actualType, &actualFormat, &count, &remaining, &data) == Success &&
      data && actualType == type && actualFormat == 32) {
    // Xlib hands 32-bit items over as longs, whatever the size of a long.
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    values = QList<unsigned long>(items, items + count);
  }
  if (data) XFree(data);
  return values;
}

std::optional<unsigned long> single(Display* display, Window window, const char* property, Atom type) {
  const QList<unsigned long> values = longs(display, window, property, type);
  if (values.size() != 1) return std::nullopt;
  return values.first();
}

namespace {
// The process of the client that made `window`, as the X server knows it:
// nothing for a client on another machine or without the X-Resource extension.
std::optional<qint32> clientProcess(Display* display, Window window) {
  int eventBase = 0, errorBase = 0;
  if (!XResQueryExtension(display, &eventBase, &errorBase)) return std::nullopt;
  XResClientIdSpec asked{window, XRES_CLIENT_ID_PID_MASK};
  long count = 0;
  XResClientIdValue* ids = nullptr;
  std::optional<qint32> process;
  if (XResQueryClientIds(display, 1, &asked, &count, &ids) == Success) {
    for (long i = 0; i < count && !process; ++i) {
      // -1: a client on another machine, whose process the server cannot know.
      if (const pid_t found = XResGetClientPid(&ids[i]); found > 0) process = found;
    }
    XResClientIdsDestroy(count, ids);
  }
  return process;
}

bool hasProperty(Display* display, Window window, const char* property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  const bool found = XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 0, False,
                                        AnyPropertyType, &type, &format, &count, &remaining, &data) == Success &&
                     type != None;
  if (data) XFree(data);
  return found;
}

// The bytes of an 8-bit property of type `type` (texts).
QByteArray bytes(Display* display, Window window, const char* property, Atom type) {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  QByteArray value;
  if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, kMaxItems / 4, False, type,
                         &actualType, &format, &count, &remaining, &data) == Success &&
      data && format == 8) {
    value = QByteArray(reinterpret_cast<const char*>(data), qsizetype(count));
  }
  if (data) XFree(data);
  return value;
}

// The window of `window`'s application: itself or its closest ancestor that
// the window manager manages (WM_STATE). Without a window manager, the first
// on the way that an application named (WM_CLASS, _NET_WM_PID); a window
// manager's own frame is neither.
std::optional<Window> applicationWindow(Display* display, Window window) {
  const Window root = DefaultRootWindow(display);
  std::optional<Window> named;
  while (window != None && window != PointerRoot && window != root) {
    if (hasProperty(display, window, "WM_STATE")) return window;
    if (!named && (hasProperty(display, window, "WM_CLASS") || hasProperty(display, window, "_NET_WM_PID"))) {
      named = window;
    }
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &rootReturn, &parent, &children, &count)) return std::nullopt;
    if (children) XFree(children);
    window = parent;
  }
  return named;
}
}  // namespace

std::optional<qint32> pid(Display* display, Window window) {
  if (const std::optional<qint32> process = clientProcess(display, window)) return process;
  const std::optional<Window> application = applicationWindow(display, window);
  if (!application) return std::nullopt;
  const auto value = single(display, *application, "_NET_WM_PID", XA_CARDINAL);
  if (!value || *value == 0) return std::nullopt;
  return static_cast<qint32>(*value);
}

std::optional<ClientWindow> clientWindow(Display* display, Window window) {
  const std::optional<Window> application = applicationWindow(display, window);
  if (!application) return std::nullopt;
  const std::optional<qint32> process = pid(display, *application);
  if (!process) return std::nullopt;
  return ClientWindow{*application, *process};
}

bool runsTk(Display* display, qint32 process) {
  const QByteArray registry = bytes(display, DefaultRootWindow(display), "InterpRegistry", XA_STRING);
  // Entries "<window in hex> <name>", each ended by a NUL; those of programs
  // that have ended stay until another Tk program cleans up.
  for (const QByteArray& entry : registry.split('\0')) {
    bool valid = false;
    const Window window = entry.split(' ').value(0).toULong(&valid, 16);
    if (!valid || window == None) continue;
    X11ErrorTrap trap(display);  // the window of a program that has ended is gone
    const bool named = hasProperty(display, window, "TK_APPLICATION");
    const std::optional<qint32> owner = named ? pid(display, window) : std::nullopt;
    if (trap.sync() == 0 && owner == process) return true;
  }
  return false;
}

QString title(Display* display, Window window) {
  QString text = QString::fromUtf8(
      bytes(display, window, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False)));
  if (!text.isEmpty()) return text;

  XTextProperty legacy{};
  if (XGetWMName(display, window, &legacy) && legacy.value) {
    char** list = nullptr;
    int pieces = 0;
    if (Xutf8TextPropertyToTextList(display, &legacy, &list, &pieces) >= Success && list) {
      if (pieces > 0) text = QString::fromUtf8(list[0]);
      XFreeStringList(list);
    }
    XFree(legacy.value);
  }
  return text;
}

}  // namespace X11WindowProperties
