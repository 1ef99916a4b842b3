#include "platform/x11/x11workarea.h"

#include "platform/x11/x11errortrap.h"
#include "platform/x11/x11windowproperties.h"

#include <QScreen>
#include <QSocketNotifier>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>

namespace {

// Docks sit in a window manager's frame, at most a frame and a wrapper deep.
constexpr int kDockDepth = 3;

// The window that holds a strut, `window` or one inside it, with the strut;
// None when there is none.
Window findStrut(Display* display, Window window, int depth, std::array<long, 12>& strut) {
  const QList<unsigned long> partial =
      X11WindowProperties::longs(display, window, "_NET_WM_STRUT_PARTIAL", XA_CARDINAL);
  const QList<unsigned long> values =
      partial.size() >= 12 ? partial : X11WindowProperties::longs(display, window, "_NET_WM_STRUT", XA_CARDINAL);
  if (values.size() >= 4) {
    // A strut without its extents reaches along the whole edge (an end before its start).
    strut = {long(values[0]), long(values[1]), long(values[2]), long(values[3]), 0, -1, 0, -1, 0, -1, 0, -1};
    if (values.size() >= 12) std::copy(values.begin() + 4, values.begin() + 12, strut.begin() + 4);
    return values[0] || values[1] || values[2] || values[3] ? window : None;
  }
  if (depth == 0) return None;
  Window root = None, parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return None;
  Window found = None;
  for (unsigned int i = 0; i < count && found == None; ++i) {
    found = findStrut(display, children[i], depth - 1, strut);
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

X11WorkArea::X11WorkArea(QByteArray displayName) {
  display_ = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
  if (!display_) return;
  workAreaAtom_ = XInternAtom(display_, "_NET_WORKAREA", False);
  strutAtom_ = XInternAtom(display_, "_NET_WM_STRUT", False);
  partialStrutAtom_ = XInternAtom(display_, "_NET_WM_STRUT_PARTIAL", False);
  notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &X11WorkArea::drainEvents);
  readDesktop();
}

X11WorkArea::~X11WorkArea() {
  notifier_.reset();
  if (display_) XCloseDisplay(display_);
}

bool X11WorkArea::readDesktop() {
  X11ErrorTrap trap(display_);
  const Window root = DefaultRootWindow(display_);
  const bool published = !X11WindowProperties::longs(display_, root, "_NET_WORKAREA", XA_CARDINAL).isEmpty();
  // Top-level windows are watched only while the docks are read.
  XSelectInput(display_, root, PropertyChangeMask | (published ? 0 : SubstructureNotifyMask));
  QList<Dock> docks = published ? QList<Dock>() : readDocks();
  // A window that closes while it is read answers BadWindow: it is left out.
  trap.sync();
  const bool changed = published != published_ || docks != docks_;
  published_ = published;
  docks_ = std::move(docks);
  return changed;
}

QList<X11WorkArea::Dock> X11WorkArea::readDocks() {
  QList<Dock> docks;
  Window root = None, parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) return docks;
  for (unsigned int i = 0; i < count; ++i) {
    // (i3's frames, docks' frames too, are override-redirect windows.)
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, children[i], &attributes) || attributes.map_state != IsViewable) continue;
    Dock dock{children[i], {}, QRect(attributes.x, attributes.y, attributes.width, attributes.height)};
    const Window holder = findStrut(display_, children[i], kDockDepth, dock.strut);
    if (holder == None) continue;
    docks.append(dock);
    // A dock that changes the space it keeps says so on its own window.
    XSelectInput(display_, holder, PropertyChangeMask);
  }
  if (children) XFree(children);
  return docks;
}

bool X11WorkArea::isDock(unsigned long topLevel) const {
  return std::any_of(docks_.begin(), docks_.end(), [topLevel](const Dock& dock) { return dock.topLevel == topLevel; });
}

void X11WorkArea::drainEvents() {
  const Window root = DefaultRootWindow(display_);
  bool changed = false;
  // Reading the desktop can queue further events: they are read as well
  // before going back to the loop, which hears only of the socket.
  while (XPending(display_)) {
    bool reread = false;
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      switch (event.type) {
        case PropertyNotify:
          reread |= event.xproperty.window == root
                        ? event.xproperty.atom == workAreaAtom_
                        : event.xproperty.atom == strutAtom_ || event.xproperty.atom == partialStrutAtom_;
          break;
        case MapNotify: {
          // Menus and tooltips map top-level windows all the time: only a
          // dock's is worth reading every window again.
          std::array<long, 12> strut{};
          reread |= event.xmap.event == root && findStrut(display_, event.xmap.window, kDockDepth, strut) != None;
          break;
        }
        case UnmapNotify:
          reread |= isDock(event.xunmap.window);
          break;
        case DestroyNotify:
          reread |= isDock(event.xdestroywindow.window);
          break;
        case ConfigureNotify:
          // i3 moves a dock along when another joins its edge.
          reread |= event.xconfigure.event == root && isDock(event.xconfigure.window);
          break;
        default:
          break;
      }
    }
    if (reread) changed |= readDesktop();
  }
  if (changed) Q_EMIT WorkArea::changed();
}

QList<WorkArea::Reserved> X11WorkArea::reservedBands() const {
  const int width = DisplayWidth(display_, DefaultScreen(display_));
  const int height = DisplayHeight(display_, DefaultScreen(display_));
  // An extent that ends before it starts (none given) is the whole edge.
  const auto along = [](long start, long end, int length) {
    return end < start ? std::pair<int, int>(0, length - 1) : std::pair<int, int>(int(start), int(end));
  };
  QList<Reserved> bands;
  for (const Dock& dock : docks_) {
    const auto& strut = dock.strut;
    const std::array<Qt::Edge, 4> edges{Qt::LeftEdge, Qt::RightEdge, Qt::TopEdge, Qt::BottomEdge};
    // The dock's own place counts on the edge it keeps most of.
    bands.append({edges[size_t(std::max_element(strut.begin(), strut.begin() + 4) - strut.begin())], dock.place});
    if (strut[0] > 0) {
      const auto [top, bottom] = along(strut[4], strut[5], height);
      bands.append({Qt::LeftEdge, QRect(QPoint(0, top), QPoint(int(strut[0]) - 1, bottom))});
    }
    if (strut[1] > 0) {
      const auto [top, bottom] = along(strut[6], strut[7], height);
      bands.append({Qt::RightEdge, QRect(QPoint(width - int(strut[1]), top), QPoint(width - 1, bottom))});
    }
    if (strut[2] > 0) {
      const auto [left, right] = along(strut[8], strut[9], width);
      bands.append({Qt::TopEdge, QRect(QPoint(left, 0), QPoint(right, int(strut[2]) - 1))});
    }
    if (strut[3] > 0) {
      const auto [left, right] = along(strut[10], strut[11], width);
      bands.append({Qt::BottomEdge, QRect(QPoint(left, height - int(strut[3])), QPoint(right, height - 1))});
    }
  }
  return bands;
}

QRect X11WorkArea::freeArea(const QScreen& screen) {
  const QRect available = screen.availableGeometry();
  if (!display_ || (published_ && !available.isEmpty())) return available;
  // Qt keeps a screen's top-left corner in the server's pixels and scales
  // the rest, as it does a window's place on that screen.
  const QRect logical = screen.geometry();
  const QPoint origin = logical.topLeft();
  const qreal scale = screen.devicePixelRatio();
  const QRect free = leftFree(QRect(origin, (QSizeF(logical.size()) * scale).toSize()), reservedBands());
  if (free.isEmpty()) return available;
  const auto toLogical = [scale](int native, int from, bool inward) {
    const qreal scaled = (native - from) / scale;
    return from + int(inward ? std::ceil(scaled) : std::floor(scaled));
  };
  return QRect(QPoint(toLogical(free.left(), origin.x(), true), toLogical(free.top(), origin.y(), true)),
               QPoint(toLogical(free.right() + 1, origin.x(), false) - 1,
                      toLogical(free.bottom() + 1, origin.y(), false) - 1));
}
