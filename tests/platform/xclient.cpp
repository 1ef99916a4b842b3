#include "xclient.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <map>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

namespace XClient {
namespace {

std::atomic<int> errorsCounted{0};

int countError(Display*, XErrorEvent*) {
  ++errorsCounted;
  return 0;
}

// The next event, waiting at most until `deadline`.
bool nextEvent(Display* display, XEvent& event, std::chrono::steady_clock::time_point deadline) {
  while (!XPending(display)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
    ::poll(&descriptor, 1, int(left.count()));
  }
  XNextEvent(display, &event);
  return true;
}

// Reads and deletes a property of `window` (the deletion asks an owner
// sending in chunks for the next one).
bool takeProperty(Display* display, Window window, Atom property, Atom& type, std::string& bytes) {
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, LONG_MAX / 4, True, AnyPropertyType, &type, &format, &count,
                         &remaining, &data) != Success) {
    return false;
  }
  const size_t unit = format == 32 ? sizeof(long) : size_t(format / 8);
  bytes.assign(reinterpret_cast<const char*>(data), data ? count * unit : 0);
  if (data) XFree(data);
  return true;
}

}  // namespace

Connection::Connection() : display_(XOpenDisplay(nullptr)) {}
Connection::~Connection() {
  if (display_) XCloseDisplay(display_);
}

void Connection::sendBadWindowRequest() { XMapWindow(display_, 0x7ffff01); }

void Connection::sendBadAtomRequest() { XDeleteProperty(display_, DefaultRootWindow(display_), 0x7ffff01); }

void Connection::sync() { XSync(display_, False); }

long Connection::maxRequestBytes() const {
  const long extended = XExtendedMaxRequestSize(display_);
  return 4 * (extended > 0 ? extended : XMaxRequestSize(display_));
}

ErrorCounter::ErrorCounter() : previous_(reinterpret_cast<void*>(XSetErrorHandler(&countError))) {
  errorsCounted = 0;
}
ErrorCounter::~ErrorCounter() { XSetErrorHandler(reinterpret_cast<XErrorHandler>(previous_)); }
int ErrorCounter::count() const { return errorsCounted; }

std::optional<Paste> paste(int timeoutMs) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return std::nullopt;
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(display, window, PropertyChangeMask);
  const Atom property = XInternAtom(display, "XCLIENT_PASTE", False);
  XConvertSelection(display, XInternAtom(display, "CLIPBOARD", False), XInternAtom(display, "UTF8_STRING", False),
                    property, window, CurrentTime);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::optional<Paste> result;
  XEvent event;
  bool answered = false;
  while (!answered && nextEvent(display, event, deadline)) answered = event.type == SelectionNotify;
  Atom type = None;
  std::string bytes;
  if (answered && event.xselection.property != None && takeProperty(display, window, property, type, bytes)) {
    if (type != XInternAtom(display, "INCR", False)) {
      result = Paste{bytes, false};
    } else {
      Paste chunked{{}, true};
      while (nextEvent(display, event, deadline)) {
        if (event.type != PropertyNotify || event.xproperty.state != PropertyNewValue) continue;
        if (!takeProperty(display, window, property, type, bytes)) break;
        if (bytes.empty()) {
          result = chunked;
          break;
        }
        chunked.text += bytes;
      }
    }
  }
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  return result;
}

struct ClipboardOwner::State {
  std::string text;
  size_t chunkBytes;
  int chunkDelayMs;
  Display* display = nullptr;
  Window window = None;
  std::atomic<bool> owns{false};
  std::atomic<bool> stop{false};
  std::atomic<int> incremental{0};
  std::thread thread;
  // Chunked transfers under way: requestor window → (property, bytes sent).
  std::map<Window, std::pair<Atom, size_t>> transfers;

  void answer(const XSelectionRequestEvent& request) {
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom property = request.property == None ? request.target : request.property;
    XSelectionEvent notify{};
    notify.type = SelectionNotify;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.time = request.time;
    notify.property = property;
    if (request.target == XInternAtom(display, "TARGETS", False)) {
      const Atom targets[] = {XInternAtom(display, "TARGETS", False), utf8};
      XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(targets), 2);
    } else if (request.target != utf8) {
      notify.property = None;
    } else if (long(text.size()) < 4 * XMaxRequestSize(display) - 1024) {
      XChangeProperty(display, request.requestor, property, utf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
    } else {
      // Announce the size; the requestor's deletion of the property asks for
      // the first chunk.
      XSelectInput(display, request.requestor, PropertyChangeMask);
      const long size = long(text.size());
      XChangeProperty(display, request.requestor, property, XInternAtom(display, "INCR", False), 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&size), 1);
      transfers[request.requestor] = {property, 0};
    }
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&notify));
    XFlush(display);
  }

  void sendNextChunk(Window requestor) {
    auto& [property, sent] = transfers[requestor];
    if (chunkDelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(chunkDelayMs));
    const size_t count = std::min(chunkBytes, text.size() - sent);
    XChangeProperty(display, requestor, property, XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data() + sent), int(count));
    XFlush(display);
    if (count == 0) {
      XSelectInput(display, requestor, NoEventMask);
      transfers.erase(requestor);
      ++incremental;
    }
    else sent += count;
  }

  void serve() {
    while (!stop) {
      XEvent event;
      if (!nextEvent(display, event, std::chrono::steady_clock::now() + std::chrono::milliseconds(20))) continue;
      if (event.type == SelectionRequest) answer(event.xselectionrequest);
      if (event.type == SelectionClear) owns = false;
      if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete &&
          transfers.count(event.xproperty.window) && transfers[event.xproperty.window].first == event.xproperty.atom) {
        sendNextChunk(event.xproperty.window);
      }
    }
  }
};

ClipboardOwner::ClipboardOwner(std::string text, int chunkBytes, int chunkDelayMs) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.text = std::move(text);
  s.chunkBytes = size_t(chunkBytes);
  s.chunkDelayMs = chunkDelayMs;
  s.display = XOpenDisplay(nullptr);
  if (!s.display) return;
  s.window = XCreateSimpleWindow(s.display, DefaultRootWindow(s.display), 0, 0, 1, 1, 0, 0, 0);
  const Atom clipboard = XInternAtom(s.display, "CLIPBOARD", False);
  XSetSelectionOwner(s.display, clipboard, s.window, CurrentTime);
  s.owns = XGetSelectionOwner(s.display, clipboard) == s.window;
  s.thread = std::thread([&s] { s.serve(); });
}

ClipboardOwner::~ClipboardOwner() {
  if (!state_->display) return;
  state_->stop = true;
  state_->thread.join();
  XCloseDisplay(state_->display);
}

bool ClipboardOwner::owns() const { return state_->owns; }
int ClipboardOwner::incrementalTransfers() const { return state_->incremental; }

}  // namespace XClient
