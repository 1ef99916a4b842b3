#include "platform/x11/x11trayappearance.h"

#include "platform/x11/x11errortrap.h"
#include "platform/x11/x11selectionownerwatch.h"
#include "platform/x11/x11windowproperties.h"

#include <QList>
#include <QSocketNotifier>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/Xfixes.h>

#include <algorithm>
#include <array>
#include <optional>

namespace {

// Colours of the desktop's 16 bits a channel.
QColor fromChannels(unsigned long red, unsigned long green, unsigned long blue) {
  return QColor::fromRgba64(quint16(red), quint16(green), quint16(blue));
}

// The X client that made `window`: its resource ids share the base under the mask.
struct Client {
  XID base = 0;
  XID mask = 0;
  bool owns(Window window) const { return mask && (window & ~mask) == base; }
};

std::optional<Client> clientOf(Display* display, Window window) {
  int eventBase = 0, errorBase = 0;
  if (!XResQueryExtension(display, &eventBase, &errorBase)) return std::nullopt;
  int count = 0;
  XResClient* clients = nullptr;
  if (!XResQueryClients(display, &count, &clients) || !clients) return std::nullopt;
  std::optional<Client> found;
  for (int i = 0; i < count && !found; ++i) {
    if ((window & ~clients[i].resource_mask) == clients[i].resource_base) {
      found = Client{clients[i].resource_base, clients[i].resource_mask};
    }
  }
  XFree(clients);
  return found;
}

QList<Window> childWindows(Display* display, Window window) {
  Window root = 0, parent = 0;
  Window* items = nullptr;
  unsigned int count = 0;
  QList<Window> result;
  if (XQueryTree(display, window, &root, &parent, &items, &count) && items) {
    result = QList<Window>(items, items + count);
  }
  if (items) XFree(items);
  return result;
}

bool viewable(Display* display, Window window, XWindowAttributes& attributes) {
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Whether `window` or a viewable window below it belongs to `client`.
bool holdsWindowOf(Display* display, Window window, const Client& client, int depth = 0) {
  if (client.owns(window)) return true;
  if (depth > 6) return false;
  for (Window child : childWindows(display, window)) {
    XWindowAttributes attributes;
    if (viewable(display, child, attributes) && holdsWindowOf(display, child, client, depth + 1)) return true;
  }
  return false;
}

// The colour of the median lightness among the image's pixels.
QColor medianColor(XImage* image, const Visual* visual) {
  const auto channel = [](unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long max = mask >> shift;
    return int(((pixel & mask) >> shift) * 255 / max);
  };
  struct Bin {
    qint64 count = 0, red = 0, green = 0, blue = 0;
  };
  std::array<Bin, 256> bins{};
  qint64 total = 0;
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      const int red = channel(pixel, visual->red_mask), green = channel(pixel, visual->green_mask);
      const int blue = channel(pixel, visual->blue_mask);
      Bin& bin = bins[(red * 54 + green * 183 + blue * 19) >> 8];
      ++bin.count;
      bin.red += red;
      bin.green += green;
      bin.blue += blue;
      ++total;
    }
  }
  qint64 seen = 0;
  for (const Bin& bin : bins) {
    seen += bin.count;
    if (bin.count && seen * 2 >= total) {
      return QColor(int(bin.red / bin.count), int(bin.green / bin.count), int(bin.blue / bin.count));
    }
  }
  return {};
}

// The median colour of the part of `window` that lies on the screen, read from
// the window itself (a panel of another depth than its frame reads right only
// so).
QColor onScreenColor(Display* display, Window window, const XWindowAttributes& attributes) {
  int x = 0, y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child)) return {};
  const int screenWidth = DisplayWidth(display, DefaultScreen(display));
  const int screenHeight = DisplayHeight(display, DefaultScreen(display));
  const int left = std::max(0, -x), top = std::max(0, -y);
  const int width = std::min(attributes.width, screenWidth - x) - left;
  const int height = std::min(attributes.height, screenHeight - y) - top;
  if (width <= 0 || height <= 0) return {};
  XImage* image = XGetImage(display, window, left, top, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
  if (!image) return {};
  const QColor color = medianColor(image, attributes.visual);
  XDestroyImage(image);
  return color;
}

// The largest viewable window of the dock type at or under `window`.
void findLargestDock(Display* display, Window window, Atom dockAtom, int depth, Window& dock,
                     XWindowAttributes& dockAttributes) {
  XWindowAttributes attributes;
  if (!viewable(display, window, attributes)) return;
  const QList<unsigned long> types = X11WindowProperties::longs(display, window, "_NET_WM_WINDOW_TYPE", XA_ATOM);
  if (types.contains(dockAtom)) {
    if (qint64(attributes.width) * attributes.height > qint64(dockAttributes.width) * dockAttributes.height) {
      dock = window;
      dockAttributes = attributes;
    }
    return;
  }
  // Window managers put a dock inside a frame or two.
  if (depth >= 2) return;
  for (Window child : childWindows(display, window)) {
    findLargestDock(display, child, dockAtom, depth + 1, dock, dockAttributes);
  }
}

}  // namespace

X11TrayAppearance::X11TrayAppearance(QByteArray displayName) {
  display_ = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
  if (!display_) return;
  const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen(display_));
  selection_ = XInternAtom(display_, name.constData(), False);
  colorsAtom_ = XInternAtom(display_, "_NET_SYSTEM_TRAY_COLORS", False);
  dockAtom_ = XInternAtom(display_, "_NET_WM_WINDOW_TYPE_DOCK", False);
  fixesEventBase_ = watchSelectionOwner(display_, selection_);
  if (fixesEventBase_) {
    notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &X11TrayAppearance::drainEvents);
  }
  followOwner();
  refresh();
}

X11TrayAppearance::~X11TrayAppearance() {
  notifier_.reset();
  if (display_) XCloseDisplay(display_);
}

void X11TrayAppearance::refresh() {
  if (!display_) return;
  textColor_ = readTextColor();
  background_ = readBackground();
}

void X11TrayAppearance::followOwner() {
  X11ErrorTrap trap(display_);
  owner_ = XGetSelectionOwner(display_, selection_);
  // Its colours may change with the panel's theme.
  if (owner_) XSelectInput(display_, owner_, PropertyChangeMask);
  trap.sync();
}

void X11TrayAppearance::drainEvents() {
  bool changed = false;
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == fixesEventBase_ + XFixesSelectionNotify) {
      followOwner();
      changed = true;
    } else if (event.type == PropertyNotify && event.xproperty.atom == colorsAtom_) {
      changed = true;
    }
  }
  if (!changed) return;
  refresh();
  Q_EMIT this->changed();
}

bool X11TrayAppearance::holdsIcon(WId window) {
  if (!display_ || !window || !owner_) return true;
  X11ErrorTrap trap(display_);
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  const bool known = XQueryTree(display_, Window(window), &root, &parent, &children, &count);
  if (children) XFree(children);
  // A window gone meanwhile is nothing to dock.
  if (trap.sync() || !known) return true;
  return parent != root;
}

QColor X11TrayAppearance::readTextColor() {
  if (!owner_) return {};
  X11ErrorTrap trap(display_);
  // Normal, error, warning and success colours, red, green and blue each.
  const QList<unsigned long> colors =
      X11WindowProperties::longs(display_, owner_, "_NET_SYSTEM_TRAY_COLORS", XA_CARDINAL);
  trap.sync();
  return colors.size() >= 3 ? fromChannels(colors[0], colors[1], colors[2]) : QColor();
}

QColor X11TrayAppearance::readBackground() {
  const QColor tray = readTrayBackground();
  return tray.isValid() ? tray : readDockBackground();
}

QColor X11TrayAppearance::readTrayBackground() {
  if (!owner_) return {};
  X11ErrorTrap trap(display_);
  const std::optional<Client> client = clientOf(display_, owner_);
  if (!client) return {};
  Window panel = 0;
  qint64 panelArea = 0;
  XWindowAttributes panelAttributes{};
  for (Window window : childWindows(display_, DefaultRootWindow(display_))) {
    XWindowAttributes attributes;
    if (!viewable(display_, window, attributes) || !holdsWindowOf(display_, window, *client)) continue;
    const qint64 area = qint64(attributes.width) * attributes.height;
    if (area > panelArea) {
      panel = window;
      panelArea = area;
      panelAttributes = attributes;
    }
  }
  const QColor background = panel ? onScreenColor(display_, panel, panelAttributes) : QColor();
  return trap.sync() ? QColor() : background;
}

QColor X11TrayAppearance::readDockBackground() {
  X11ErrorTrap trap(display_);
  Window dock = 0;
  XWindowAttributes dockAttributes{};
  for (Window window : childWindows(display_, DefaultRootWindow(display_))) {
    findLargestDock(display_, window, dockAtom_, 0, dock, dockAttributes);
  }
  const QColor background = dock ? onScreenColor(display_, dock, dockAttributes) : QColor();
  return trap.sync() ? QColor() : background;
}
