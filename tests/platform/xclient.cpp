#include "xclient.h"
#include <atomic>
#include <chrono>
#include <climits>
#include <map>
#include <thread>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

namespace XClient {
namespace {

using Clock = std::chrono::steady_clock;
std::atomic<int> errorsCounted{0};

bool nextEvent(Display* display, XEvent& event, Clock::time_point deadline) {
  while (!XPending(display)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
    ::poll(&descriptor, 1, int(left));
  }
  XNextEvent(display, &event);
  return true;
}

// Reads and deletes a property (the deletion asks a chunked sender for more).
bool takeProperty(Display* display, Window window, Atom property, Atom& type, std::string& bytes) {
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, LONG_MAX / 4, True, AnyPropertyType, &type, &format, &count,
                         &remaining, &data) != Success) {
    return false;
  }
  bytes.assign(reinterpret_cast<const char*>(data), data ? count * (format == 32 ? sizeof(long) : size_t(format / 8)) : 0);
  if (data) XFree(data);
  return true;
}

Atom atom(Display* display, const char* name) { return XInternAtom(display, name, False); }

}  // namespace

Connection::Connection() : display(XOpenDisplay(nullptr)) {}
Connection::~Connection() { if (display) XCloseDisplay(display); }
void Connection::sendBadWindowRequest() { XMapWindow(display, 0x7ffff01); }
void Connection::sendBadAtomRequest() { XDeleteProperty(display, DefaultRootWindow(display), 0x7ffff01); }
void Connection::sync() { XSync(display, False); }
long Connection::maxRequestBytes() const {
  const long extended = XExtendedMaxRequestSize(display);
  return 4 * (extended > 0 ? extended : XMaxRequestSize(display));
}

ErrorCounter::ErrorCounter()
    : previous(reinterpret_cast<void*>(XSetErrorHandler([](Display*, XErrorEvent*) { return ++errorsCounted, 0; }))) {
  errorsCounted = 0;
}
ErrorCounter::~ErrorCounter() { XSetErrorHandler(reinterpret_cast<XErrorHandler>(previous)); }
int ErrorCounter::count() const { return errorsCounted; }

std::optional<Paste> paste(int timeoutMs) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return std::nullopt;
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(display, window, PropertyChangeMask);
  const Atom property = atom(display, "XCLIENT_PASTE");
  XConvertSelection(display, atom(display, "CLIPBOARD"), atom(display, "UTF8_STRING"), property, window, CurrentTime);
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::optional<Paste> result;
  XEvent event{};
  while (event.type != SelectionNotify && nextEvent(display, event, deadline)) {
  }
  const bool answered = event.type == SelectionNotify;
  Atom type = None;
  std::string bytes;
  if (answered && event.xselection.property != None && takeProperty(display, window, property, type, bytes)) {
    Paste received{bytes, type == atom(display, "INCR")};
    if (received.incremental) received.text.clear();
    while (received.incremental && !result && nextEvent(display, event, deadline)) {
      if (event.type != PropertyNotify || event.xproperty.state != PropertyNewValue) continue;
      if (!takeProperty(display, window, property, type, bytes)) break;
      if (bytes.empty()) result = received;
      received.text += bytes;
    }
    if (!received.incremental) result = received;
  }
  XCloseDisplay(display);
  return result;
}

struct ClipboardOwner::State {
  std::string text;
  size_t chunkBytes;
  int chunkDelayMs;
  Display* display = XOpenDisplay(nullptr);
  std::atomic<bool> owns{false}, stop{false};
  std::atomic<int> incremental{0};
  std::map<Window, std::pair<Atom, size_t>> transfers{};  // requestor → property, bytes sent
  std::thread thread{};

  void answer(const XSelectionRequestEvent& request) {
    const Atom utf8 = atom(display, "UTF8_STRING");
    XSelectionEvent notify{SelectionNotify, 0, True, display, request.requestor, request.selection, request.target,
                           request.property == None ? request.target : request.property, request.time};
    const Atom targets[] = {atom(display, "TARGETS"), utf8};
    const auto set = [&](Atom type, int format, const void* data, size_t count) {
      XChangeProperty(display, request.requestor, notify.property, type, format, PropModeReplace,
                      static_cast<const unsigned char*>(data), int(count));
    };
    if (request.target == targets[0]) {
      set(XA_ATOM, 32, targets, 2);
    } else if (request.target != utf8) {
      notify.property = None;
    } else if (long(text.size()) < 4 * XMaxRequestSize(display) - 1024) {
      set(utf8, 8, text.data(), text.size());
    } else {  // the size first; the requestor deleting it asks for the first chunk
      XSelectInput(display, request.requestor, PropertyChangeMask);
      const long size = long(text.size());
      set(atom(display, "INCR"), 32, &size, 1);
      transfers[request.requestor] = {notify.property, 0};
    }
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&notify));
    XFlush(display);
  }

  void sendNextChunk(Window requestor) {
    auto& [property, sent] = transfers[requestor];
    std::this_thread::sleep_for(std::chrono::milliseconds(chunkDelayMs));
    const size_t count = std::min(chunkBytes, text.size() - sent);
    XChangeProperty(display, requestor, property, atom(display, "UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data() + sent), int(count));
    XFlush(display);
    sent += count;
    if (count == 0) ++incremental, transfers.erase(requestor);
  }

  void serve() {
    XEvent event;
    while (!stop) {
      if (!nextEvent(display, event, Clock::now() + std::chrono::milliseconds(20))) continue;
      if (event.type == SelectionRequest) answer(event.xselectionrequest);
      if (event.type == SelectionClear) owns = false;
      const auto transfer = transfers.find(event.xproperty.window);
      if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete && transfer != transfers.end() &&
          transfer->second.first == event.xproperty.atom) {
        sendNextChunk(event.xproperty.window);
      }
    }
  }
};

ClipboardOwner::ClipboardOwner(std::string text, int chunkBytes, int chunkDelayMs)
    : state_(new State{std::move(text), size_t(chunkBytes), chunkDelayMs}) {
  State& s = *state_;
  if (!s.display) return;
  const Window window = XCreateSimpleWindow(s.display, DefaultRootWindow(s.display), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(s.display, atom(s.display, "CLIPBOARD"), window, CurrentTime);
  s.owns = XGetSelectionOwner(s.display, atom(s.display, "CLIPBOARD")) == window;
  s.thread = std::thread([&s] { s.serve(); });
}

ClipboardOwner::~ClipboardOwner() {
  state_->stop = true;
  if (state_->thread.joinable()) state_->thread.join();
  if (state_->display) XCloseDisplay(state_->display);
}

bool ClipboardOwner::owns() const { return state_->owns; }
int ClipboardOwner::incrementalTransfers() const { return state_->incremental; }

}  // namespace XClient
