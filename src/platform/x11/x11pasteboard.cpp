#include "platform/x11/x11pasteboard.h"

#include "platform/x11/x11errortrap.h"
#include "platform/x11/x11windowproperties.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QSet>
#include <QSocketNotifier>

#include <chrono>
#include <climits>
#include <cstdlib>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <poll.h>
#include <xcb/xcb.h>

namespace {

using namespace std::chrono_literals;

// How long an application may take to answer, and then to send each further
// piece of a large clipboard text.
constexpr auto conversionTimeout = 1000ms;
// Clipboard texts larger than this are not read.
constexpr qsizetype maximumTextBytes = 64 * 1024 * 1024;

// Targets of the selection protocol itself and Qt's own stand-in for images:
// not contents, and offered again by whoever owns the clipboard next.
const QSet<QString>& protocolFormats() {
  static const QSet<QString> formats{
      QStringLiteral("TARGETS"),          QStringLiteral("MULTIPLE"),        QStringLiteral("TIMESTAMP"),
      QStringLiteral("SAVE_TARGETS"),     QStringLiteral("DELETE"),          QStringLiteral("INSERT_SELECTION"),
      QStringLiteral("INSERT_PROPERTY"),  QStringLiteral("application/x-qt-image"),
  };
  return formats;
}

QClipboard* clipboard() { return QGuiApplication::clipboard(); }

const char* selectionName(X11Pasteboard::Selection selection) {
  return selection == X11Pasteboard::Selection::primary ? "PRIMARY" : "CLIPBOARD";
}

QClipboard::Mode clipboardMode(X11Pasteboard::Selection selection) {
  return selection == X11Pasteboard::Selection::primary ? QClipboard::Selection : QClipboard::Clipboard;
}

xcb_connection_t* qtConnection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

// The pieces of a property read, deleted from the window as it is read.
struct PropertyData {
  Atom type = None;
  QByteArray bytes;
};

std::optional<PropertyData> takeProperty(Display* display, Window window, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, LONG_MAX / 4, True, AnyPropertyType, &type, &format, &count,
                         &remaining, &data) != Success) {
    return std::nullopt;
  }
  PropertyData result;
  result.type = type;
  if (data) {
    const qsizetype unit = format == 32 ? qsizetype(sizeof(long)) : format / 8;
    result.bytes = QByteArray(reinterpret_cast<const char*>(data), qsizetype(count) * unit);
    XFree(data);
  }
  return result;
}

}  // namespace

// Sees every event of Qt's connection before Qt does, for the selection:
// - counts the requests for its contents that reach Qt, which answers them
//   right after (asking which formats are offered, or since when, reads
//   nothing);
// - holds back a SelectionClear that has gone stale. Another application
//   takes the selection from us while the main thread waits (for a copy
//   typed into it), and we take it back before Qt has read the clear: Qt
//   would then drop the contents just set, whoever owns the selection now,
//   and the next paste would insert nothing.
class X11Pasteboard::QtSelectionFilter final : public QAbstractNativeEventFilter {
 public:
  QtSelectionFilter(xcb_connection_t* connection, Atom selection, Atom targets, Atom timestamp)
      : connection_(connection), selection_(selection), targets_(targets), timestamp_(timestamp) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~QtSelectionFilter() override {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & ~0x80;
    if (type == XCB_SELECTION_REQUEST) {
      const auto* request = static_cast<const xcb_selection_request_event_t*>(message);
      if (request->selection == selection_ && request->target != targets_ && request->target != timestamp_) ++count;
    } else if (type == XCB_SELECTION_CLEAR) {
      const auto* clear = static_cast<const xcb_selection_clear_event_t*>(message);
      if (clear->selection == selection_) return ownerNow() == clear->owner;
    }
    return false;
  }

  qint64 count = 0;

 private:
  xcb_window_t ownerNow() {
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(connection_, xcb_get_selection_owner(connection_, selection_), nullptr);
    const xcb_window_t owner = reply ? reply->owner : XCB_NONE;
    free(reply);
    return owner;
  }

  xcb_connection_t* connection_;
  Atom selection_, targets_, timestamp_;
};

X11Pasteboard::X11Pasteboard(Selection selection, QByteArray displayName)
    : selection_(selection), displayName_(std::move(displayName)) {}

X11Pasteboard::~X11Pasteboard() {
  qtEvents_.reset();
  notifier_.reset();
  if (display_) XCloseDisplay(display_);
}

unsigned long X11Pasteboard::selectionAtom() { return XInternAtom(display_, selectionName(selection_), False); }

bool X11Pasteboard::connect() {
  if (display_) return true;
  display_ = XOpenDisplay(displayName_.isEmpty() ? nullptr : displayName_.constData());
  if (!display_) return false;
  int errorBase = 0;
  if (!XFixesQueryExtension(display_, &fixesEventBase_, &errorBase)) {
    XCloseDisplay(display_);
    display_ = nullptr;
    return false;
  }
  const Window root = DefaultRootWindow(display_);
  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  requestor_ = XCreateWindow(display_, root, -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
                             CWEventMask, &attributes);
  XFixesSelectSelectionInput(display_, root, selectionAtom(),
                             XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                 XFixesSelectionClientCloseNotifyMask);
  XSync(display_, False);
  // Read the owner changes as they come, so they never pile up on the server.
  notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { drainEvents(); });
  if (xcb_connection_t* connection = qtConnection()) {
    qtEvents_ = std::make_unique<QtSelectionFilter>(connection, selectionAtom(), XInternAtom(display_, "TARGETS", False),
                                                    XInternAtom(display_, "TIMESTAMP", False));
  }
  return true;
}

void X11Pasteboard::drainEvents() {
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == fixesEventBase_ + XFixesSelectionNotify) ++ownerChanges_;
  }
}

qint64 X11Pasteboard::changeCount() {
  if (!connect()) return 0;
  // The round trip brings in every owner change the server made before now,
  // our own writes through Qt's connection included.
  XSync(display_, False);
  drainEvents();
  return ownerChanges_;
}

unsigned long X11Pasteboard::owner() {
  if (!connect()) return None;
  return XGetSelectionOwner(display_, selectionAtom());
}

// Whether the window was made by Qt's connection of this process: X gives each
// connection its own block of resource ids.
bool X11Pasteboard::ownedByThisProcess(unsigned long window) {
  xcb_connection_t* connection = qtConnection();
  if (!connection) return false;
  const xcb_setup_t* setup = xcb_get_setup(connection);
  return (window & ~setup->resource_id_mask) == setup->resource_id_base;
}

// The hidden window Qt owns selections with: a child of the root made by Qt's
// connection and named "Qt Selection Owner for <application>".
unsigned long X11Pasteboard::qtSelectionOwner() {
  if (qtOwner_ || !connect() || !clipboard()) return qtOwner_;
  X11ErrorTrap trap(display_);
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) return 0;
  for (unsigned int i = 0; i < count && !qtOwner_; ++i) {
    if (ownedByThisProcess(children[i]) &&
        X11WindowProperties::title(display_, children[i]).startsWith(u"Qt Selection Owner for ")) {
      qtOwner_ = children[i];
    }
  }
  if (children) XFree(children);
  return qtOwner_;
}

void X11Pasteboard::claimForQt() {
  xcb_connection_t* connection = qtConnection();
  const unsigned long window = qtSelectionOwner();
  if (!connection || !window) return;
  // On Qt's own connection, so that the requests for the contents go to Qt.
  const xcb_atom_t selection = selectionAtom();
  xcb_set_selection_owner(connection, xcb_window_t(window), selection, XCB_CURRENT_TIME);
  free(xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr));
}

void X11Pasteboard::release() {
  const unsigned long current = owner();
  // Our own clipboard is emptied by Qt alone. Taken away from this side, Qt
  // would read the SelectionClear only after the next text was set, and
  // would then drop that text: the following paste would insert nothing.
  if (current == None || ownedByThisProcess(current)) return;
  XSetSelectionOwner(display_, selectionAtom(), None, CurrentTime);
  XSync(display_, False);
}

QList<PasteboardItem> X11Pasteboard::items() {
  const QMimeData* data = clipboard()->mimeData(clipboardMode(selection_));
  if (!data || owner() == None) return {};
  PasteboardItem item;
  for (const QString& format : data->formats()) {
    if (protocolFormats().contains(format)) continue;
    const QByteArray bytes = data->data(format);
    if (!bytes.isEmpty()) item.formats.append({format, bytes});
  }
  if (item.formats.isEmpty()) return {};
  return {item};
}

int X11Pasteboard::itemCount() { return owner() == None ? 0 : 1; }

std::optional<QString> X11Pasteboard::plainText(int item) {
  if (item != 0) return std::nullopt;
  const unsigned long current = owner();
  if (current == None) return std::nullopt;
  if (ownedByThisProcess(current)) {
    const QMimeData* data = clipboard()->mimeData(clipboardMode(selection_));
    if (!data || !data->hasText()) return std::nullopt;
    return data->text();
  }
  for (const char* target : {"UTF8_STRING", "text/plain;charset=utf-8"}) {
    if (const std::optional<QByteArray> bytes = convert(target)) return QString::fromUtf8(*bytes);
  }
  return std::nullopt;
}

// Asks the owner for the clipboard in `target` and waits for it, following
// the incremental protocol for large contents. Nothing when the owner refuses
// or does not answer in time.
std::optional<QByteArray> X11Pasteboard::convert(const char* target) {
  if (!connect()) return std::nullopt;
  X11ErrorTrap trap(display_);
  const Atom selection = selectionAtom();
  const Atom property = XInternAtom(display_, "VELTRINE_CLIPBOARD", False);
  const Atom incremental = XInternAtom(display_, "INCR", False);
  // Answers to earlier requests that timed out must not pass for this one.
  XSync(display_, False);
  drainEvents();
  XDeleteProperty(display_, requestor_, property);
  XConvertSelection(display_, selection, XInternAtom(display_, target, False), property, requestor_, CurrentTime);
  XFlush(display_);

  auto deadline = std::chrono::steady_clock::now() + conversionTimeout;
  // The next event for the requestor window, counting owner changes on the way.
  const auto nextEvent = [&](XEvent& event) {
    while (true) {
      while (XPending(display_)) {
        XNextEvent(display_, &event);
        if (event.type == fixesEventBase_ + XFixesSelectionNotify) {
          ++ownerChanges_;
          continue;
        }
        if (event.xany.window == requestor_) return true;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left <= 0ms) return false;
      pollfd descriptor{ConnectionNumber(display_), POLLIN, 0};
      ::poll(&descriptor, 1, int(left.count()));
    }
  };

  XEvent event;
  do {
    if (!nextEvent(event)) return std::nullopt;
  } while (event.type != SelectionNotify);
  if (event.xselection.property == None) return std::nullopt;

  std::optional<PropertyData> data = takeProperty(display_, requestor_, property);
  if (!data || trap.sync() != 0) return std::nullopt;
  if (data->type != incremental) return data->bytes;

  // Incremental: each chunk arrives as a new value of the property; an empty
  // one ends the transfer. An owner still sending is given time for each
  // chunk: a large text from a slow application is not cut off.
  QByteArray bytes;
  while (true) {
    if (!nextEvent(event)) return std::nullopt;
    if (event.type != PropertyNotify || event.xproperty.atom != property || event.xproperty.state != PropertyNewValue) {
      continue;
    }
    std::optional<PropertyData> chunk = takeProperty(display_, requestor_, property);
    if (!chunk) return std::nullopt;
    if (chunk->bytes.isEmpty()) return bytes;
    bytes += chunk->bytes;
    if (bytes.size() > maximumTextBytes) return std::nullopt;
    deadline = std::chrono::steady_clock::now() + conversionTimeout;
  }
}

void X11Pasteboard::clearContents() {
  release();
  clipboard()->clear(clipboardMode(selection_));
}

void X11Pasteboard::writeItem(const PasteboardItem& item) {
  auto* data = new QMimeData;
  for (const auto& [format, bytes] : item.formats) data->setData(format, bytes);
  claimForQt();
  clipboard()->setMimeData(data, clipboardMode(selection_));
}

void X11Pasteboard::setString(const QString& text) {
  claimForQt();
  clipboard()->setText(text, clipboardMode(selection_));
}

bool X11Pasteboard::isOwnedBy(const RunningApplication& app) {
  const unsigned long current = owner();
  if (current == None) return false;
  // X gives each client one block of resource ids, the same size for all.
  if (xcb_connection_t* connection = qtConnection(); connection && app.window != 0) {
    const uint32_t clientBits = ~xcb_get_setup(connection)->resource_id_mask;
    if ((current & clientBits) == (app.window & clientBits)) return true;
  }
  X11ErrorTrap trap(display_);
  const std::optional<qint32> process = X11WindowProperties::pid(display_, current);
  return trap.sync() == 0 && process == app.pid;
}

qint64 X11Pasteboard::timesRead() {
  if (!connect() || !qtEvents_) return 0;
  return qtEvents_->count;
}
