#include "platform/x11/x11pasteboard.h"

#include "platform/x11/x11errortrap.h"
#include "platform/x11/x11windowproperties.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QHash>
#include <QSet>
#include <QSocketNotifier>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
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

using PropertyData = X11Pasteboard::PropertyData;

// Whether server time `earlier` comes before `later`, across the 32-bit
// millisecond clock's wrap.
bool isBefore(uint32_t earlier, uint32_t later) { return static_cast<int32_t>(earlier - later) < 0; }

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
// - answers at once, with a refusal, every request for a target we do not
//   offer. Qt 6.4 answers such a request naming a property it never writes:
//   a requestor that waits for that property waits out its own time-out.
//   (gvim asks for its own _VIMENC_TEXT first, then for UTF8_STRING.) What
//   we offer is what Qt holds at the request: the program's own writes, and
//   as much Qt's, which never pass through here (a text the user selects in
//   one of our views is PRIMARY, and the copy key there fills the clipboard);
// - counts the requests for contents we offer, which Qt answers right after
//   (asking which formats are offered, or since when, reads nothing; nor
//   does a refused request), and by which client;
// - dates a request stamped before we took the selection at the moment we
//   took it. Qt refuses such a request as one meant for an earlier owner, yet
//   it reached us because we own the selection now: a GTK 3 program whose keys
//   go through fcitx5's module stamps its paste with the time of an earlier
//   key, and would paste nothing.
// - holds back a SelectionClear that has gone stale. Another application
//   takes the selection from us while the main thread waits (for a copy
//   typed into it), and we take it back before Qt has read the clear: Qt
//   would then drop the contents just set, whoever owns the selection now,
//   and the next paste would insert nothing.
class X11Pasteboard::QtSelectionFilter final : public QAbstractNativeEventFilter {
 public:
  QtSelectionFilter(xcb_connection_t* connection, Atom selection, QClipboard::Mode mode)
      : connection_(connection), selection_(selection), mode_(mode) {
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
      auto* request = static_cast<xcb_selection_request_event_t*>(message);
      if (request->selection != selection_) return false;
      const QByteArray target = atomName(request->target);
      if (target == "TARGETS") noteClient(formatsAsked, request->requestor);
      if (!protocolTargets().contains(target)) {
        if (!offers(target, *request)) {
          refuse(*request);
          return true;
        }
        ++count;
        noteClient(readsBy, request->requestor);
      }
      // Left to Qt, dated no earlier than we took the selection.
      if (ownedSince != XCB_CURRENT_TIME && request->time != XCB_CURRENT_TIME && isBefore(request->time, ownedSince)) {
        request->time = ownedSince;
      }
    } else if (type == XCB_SELECTION_CLEAR) {
      const auto* clear = static_cast<const xcb_selection_clear_event_t*>(message);
      if (clear->selection == selection_) return ownerNow() == clear->owner;
    }
    return false;
  }

  qint64 count = 0;
  // How many times each client asked for our formats, and read what we hold,
  // by the first resource id of its block (X gives each client one, the same
  // size for all).
  QHash<uint32_t, qint64> formatsAsked;
  QHash<uint32_t, qint64> readsBy;
  // The server time we last took the selection at; none before.
  uint32_t ownedSince = XCB_CURRENT_TIME;

 private:
  static const QSet<QByteArray>& protocolTargets() {
    static const QSet<QByteArray> targets{"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS"};
    return targets;
  }

  // What Qt lists among the targets of what it holds: each format by its
  // name, and for a text the X text targets too. An image it converts to many
  // formats: those are left to Qt. Nothing once another client owns the
  // selection: what Qt still holds is no longer the selection.
  bool offers(const QByteArray& target, const xcb_selection_request_event_t& request) {
    static const QSet<QByteArray> textTargets{"UTF8_STRING", "STRING", "TEXT"};
    QClipboard* clipboard = QGuiApplication::clipboard();
    const bool held = clipboard && (mode_ == QClipboard::Selection ? clipboard->ownsSelection()
                                                                   : clipboard->ownsClipboard());
    if (!held || ownerNow() != request.owner) return false;
    const QMimeData* data = clipboard->mimeData(mode_);
    if (!data) return false;
    for (const QString& format : data->formats()) {
      if (format.startsWith(u"image/") || format == u"application/x-qt-image") return true;
      if (format == QLatin1String(target)) return true;
      if (format == u"text/plain" && textTargets.contains(target)) return true;
    }
    return false;
  }

  void noteClient(QHash<uint32_t, qint64>& counts, xcb_window_t requestor) {
    // More clients than ever ask in one session; past it the counts start again.
    constexpr qsizetype kMaxClients = 256;
    const uint32_t client = requestor & ~xcb_get_setup(connection_)->resource_id_mask;
    if (counts.size() >= kMaxClients && !counts.contains(client)) counts.clear();
    ++counts[client];
  }

  void refuse(const xcb_selection_request_event_t& request) {
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = XCB_NONE;
    char event[32] = {};  // the server takes events of 32 bytes
    static_assert(sizeof(notify) <= sizeof(event));
    std::memcpy(event, &notify, sizeof(notify));
    xcb_send_event(connection_, false, request.requestor, XCB_EVENT_MASK_NO_EVENT, event);
    xcb_flush(connection_);
  }

  QByteArray atomName(xcb_atom_t atom) {
    if (const auto known = names_.constFind(atom); known != names_.cend()) return *known;
    xcb_get_atom_name_reply_t* reply = xcb_get_atom_name_reply(connection_, xcb_get_atom_name(connection_, atom), nullptr);
    QByteArray name;
    if (reply) name = QByteArray(xcb_get_atom_name_name(reply), xcb_get_atom_name_name_length(reply));
    free(reply);
    names_.insert(atom, name);
    return name;
  }

  xcb_window_t ownerNow() {
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(connection_, xcb_get_selection_owner(connection_, selection_), nullptr);
    const xcb_window_t owner = reply ? reply->owner : XCB_NONE;
    free(reply);
    return owner;
  }

  xcb_connection_t* connection_;
  Atom selection_;
  QClipboard::Mode mode_;
  QHash<xcb_atom_t, QByteArray> names_;
};

X11Pasteboard::X11Pasteboard(Selection selection, QByteArray displayName)
    : selection_(selection), displayName_(std::move(displayName)) {
  // Qt takes the selection for text selected in the program's own views
  // without passing here: the filter must answer those requests too, also
  // before the program's first paste opens the connection.
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    qtTookSelection_ =
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, [this](QClipboard::Mode mode) {
          if (mode == clipboardMode(selection_)) connect();
        });
  }
}

X11Pasteboard::~X11Pasteboard() {
  QObject::disconnect(qtTookSelection_);
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
    qtEvents_ = std::make_unique<QtSelectionFilter>(connection, selectionAtom(), clipboardMode(selection_));
  }
  return true;
}

void X11Pasteboard::drainEvents() {
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == fixesEventBase_ + XFixesSelectionNotify) noteOwnerChange(event);
  }
}

void X11Pasteboard::noteOwnerChange(const XEvent& event) {
  ++ownerChanges_;
  const auto& change = reinterpret_cast<const XFixesSelectionNotifyEvent&>(event);
  if (qtEvents_ && qtOwner_ != 0 && change.owner == qtOwner_) qtEvents_->ownedSince = change.selection_timestamp;
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
  // The time it was taken at, before any request for it comes.
  changeCount();
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
  return foreignText();
}

// The text of a selection another application owns, read as the X
// conventions provide: in the best of the text targets its owner lists
// (asked in this order when it lists none). Motif programs (NEdit) offer
// STRING alone, or COMPOUND_TEXT, which can carry more than Latin-1 and is
// taken first. TEXT leaves the choice to the owner, which names the type it
// sent. The whole read, the list of targets included, is bounded by one
// time-out: an owner that does not answer is not asked again.
std::optional<QString> X11Pasteboard::foreignText() {
  static constexpr const char* textTargets[] = {"UTF8_STRING", "text/plain;charset=utf-8", "COMPOUND_TEXT", "STRING",
                                                "TEXT"};
  const auto deadline = std::chrono::steady_clock::now() + conversionTimeout;
  Conversion listed = convert(XInternAtom(display_, "TARGETS", False), deadline);
  if (listed.timedOut) return std::nullopt;
  QSet<Atom> offered;
  if (listed.data && listed.data->type == XA_ATOM) {
    const QByteArray& bytes = listed.data->bytes;
    for (qsizetype at = 0; at + qsizetype(sizeof(long)) <= bytes.size(); at += sizeof(long)) {
      long atom = 0;
      std::memcpy(&atom, bytes.constData() + at, sizeof(long));
      offered.insert(Atom(atom));
    }
  }
  for (const char* name : textTargets) {
    const Atom target = XInternAtom(display_, name, False);
    if (!offered.isEmpty() && !offered.contains(target)) continue;
    const Conversion converted = convert(target, deadline);
    if (converted.timedOut) return std::nullopt;
    if (!converted.data) continue;
    if (std::optional<QString> text = decodeText(*converted.data)) return text;
  }
  return std::nullopt;
}

// A selection's text as its type says: UTF-8, Latin-1 (STRING), or an
// encoding Xlib converts (COMPOUND_TEXT, the locale's). The NUL some owners
// end their text with (AbiWord) is not part of it.
std::optional<QString> X11Pasteboard::decodeText(const PropertyData& data) {
  QByteArray bytes = data.bytes;
  while (bytes.endsWith('\0')) bytes.chop(1);
  if (data.type == XInternAtom(display_, "UTF8_STRING", False) ||
      data.type == XInternAtom(display_, "text/plain;charset=utf-8", False)) {
    return QString::fromUtf8(bytes);
  }
  if (data.type == XA_STRING) return QString::fromLatin1(bytes);
  if (bytes.isEmpty()) return QString();
  XTextProperty property{reinterpret_cast<unsigned char*>(bytes.data()), data.type, 8, static_cast<unsigned long>(bytes.size())};
  char** list = nullptr;
  int count = 0;
  const int status = Xutf8TextPropertyToTextList(display_, &property, &list, &count);
  if (status < Success || !list) return std::nullopt;  // an encoding Xlib does not know
  QString text;
  for (int i = 0; i < count; ++i) text += QString::fromUtf8(list[i]);
  XFreeStringList(list);
  return text;
}

// Asks the owner for the selection in `target` and waits for it until
// `deadline`, following the incremental protocol for large contents (each
// piece of which gets a time-out of its own). No data when the owner refuses.
X11Pasteboard::Conversion X11Pasteboard::convert(unsigned long target, std::chrono::steady_clock::time_point deadline) {
  if (!connect()) return {};
  X11ErrorTrap trap(display_);
  const Atom selection = selectionAtom();
  const Atom property = XInternAtom(display_, "VELTRINE_CLIPBOARD", False);
  const Atom incremental = XInternAtom(display_, "INCR", False);
  // Answers to earlier requests that timed out must not pass for this one.
  XSync(display_, False);
  drainEvents();
  XDeleteProperty(display_, requestor_, property);
  XConvertSelection(display_, selection, target, property, requestor_, CurrentTime);
  XFlush(display_);

  // The next event for the requestor window, counting owner changes on the way.
  const auto nextEvent = [&](XEvent& event) {
    while (true) {
      while (XPending(display_)) {
        XNextEvent(display_, &event);
        if (event.type == fixesEventBase_ + XFixesSelectionNotify) {
          noteOwnerChange(event);
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
  const Conversion timedOut{std::nullopt, true};

  XEvent event;
  do {
    if (!nextEvent(event)) return timedOut;
  } while (event.type != SelectionNotify);
  if (event.xselection.property == None) return {};

  std::optional<PropertyData> data = takeProperty(display_, requestor_, property);
  if (!data || trap.sync() != 0) return {};
  if (data->type != incremental) return {std::move(data)};

  // Incremental: each chunk arrives as a new value of the property; an empty
  // one ends the transfer. An owner still sending is given time for each
  // chunk: a large text from a slow application is not cut off.
  PropertyData whole;
  while (true) {
    deadline = std::chrono::steady_clock::now() + conversionTimeout;
    if (!nextEvent(event)) return timedOut;
    if (event.type != PropertyNotify || event.xproperty.atom != property || event.xproperty.state != PropertyNewValue) {
      continue;
    }
    std::optional<PropertyData> chunk = takeProperty(display_, requestor_, property);
    if (!chunk) return {};
    whole.type = chunk->type;
    if (chunk->bytes.isEmpty()) return {std::move(whole)};
    whole.bytes += chunk->bytes;
    if (whole.bytes.size() > maximumTextBytes) return {};
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

qint64 X11Pasteboard::formatsAskedBy(const RunningApplication& app) {
  xcb_connection_t* connection = qtConnection();
  if (!connect() || !qtEvents_ || !connection || app.window == 0) return 0;
  // Qt answers a request as soon as this filter has seen it; the round trip
  // makes sure the server has passed the answer on before anything we do next.
  free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
  return qtEvents_->formatsAsked.value(uint32_t(app.window) & ~xcb_get_setup(connection)->resource_id_mask);
}

qint64 X11Pasteboard::timesRead() {
  if (!connect() || !qtEvents_) return 0;
  return qtEvents_->count;
}

qint64 X11Pasteboard::timesReadBy(const RunningApplication& app) {
  xcb_connection_t* connection = qtConnection();
  if (!connect() || !qtEvents_ || !connection || app.window == 0) return 0;
  return qtEvents_->readsBy.value(uint32_t(app.window) & ~xcb_get_setup(connection)->resource_id_mask);
}
