#include "xclient.h"
#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <map>
#include <thread>
#include <tuple>
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

Requestor::Requestor() : display_(XOpenDisplay(nullptr)) {
  if (display_) window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
}
Requestor::~Requestor() {
  if (display_) XCloseDisplay(display_);
}

std::optional<Requestor::Answer> Requestor::ask(const char* selection, const char* target,
                                                std::chrono::milliseconds timeout, unsigned long time) {
  if (!display_) return std::nullopt;
  const Atom property = atom(display_, "XCLIENT_REQUEST");
  const auto start = Clock::now();
  XConvertSelection(display_, atom(display_, selection), atom(display_, target), property, window_, time);
  XEvent event{};
  while (event.type != SelectionNotify) {
    if (!nextEvent(display_, event, start + timeout)) return std::nullopt;
  }
  Answer answer;
  answer.after = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  answer.refused = event.xselection.property == None;
  Atom type = None;
  if (!answer.refused && takeProperty(display_, window_, property, type, answer.bytes) && type != None) {
    char* name = XGetAtomName(display_, type);
    answer.type = name;
    XFree(name);
  }
  return answer;
}

struct ClipboardOwner::State {
  std::vector<Offer> offers;
  std::string selection;
  bool answers;
  size_t chunkBytes;
  int chunkDelayMs;
  Display* display = XOpenDisplay(nullptr);
  std::atomic<bool> owns{false}, stop{false};
  std::atomic<int> incremental{0};
  std::map<Window, std::tuple<Atom, const Offer*, size_t>> transfers{};  // requestor → property, offer, bytes sent
  std::thread thread{};

  void answer(const XSelectionRequestEvent& request) {
    XSelectionEvent notify{SelectionNotify, 0, True, display, request.requestor, request.selection, request.target,
                           request.property == None ? request.target : request.property, request.time};
    const auto set = [&](Atom type, int format, const void* data, size_t count) {
      XChangeProperty(display, request.requestor, notify.property, type, format, PropModeReplace,
                      static_cast<const unsigned char*>(data), int(count));
    };
    const auto offer = std::find_if(offers.begin(), offers.end(),
                                    [&](const Offer& o) { return atom(display, o.target.c_str()) == request.target; });
    if (request.target == atom(display, "TARGETS")) {
      std::vector<Atom> targets{atom(display, "TARGETS")};
      for (const Offer& o : offers) targets.push_back(atom(display, o.target.c_str()));
      set(XA_ATOM, 32, targets.data(), targets.size());
    } else if (offer == offers.end()) {
      notify.property = None;
    } else if (long(offer->bytes.size()) < 4 * XMaxRequestSize(display) - 1024) {
      set(atom(display, offer->type.c_str()), 8, offer->bytes.data(), offer->bytes.size());
    } else {  // the size first; the requestor deleting it asks for the first chunk
      XSelectInput(display, request.requestor, PropertyChangeMask);
      const long size = long(offer->bytes.size());
      set(atom(display, "INCR"), 32, &size, 1);
      transfers[request.requestor] = {notify.property, &*offer, 0};
    }
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&notify));
    XFlush(display);
  }

  void sendNextChunk(Window requestor) {
    auto& [property, offer, sent] = transfers[requestor];
    std::this_thread::sleep_for(std::chrono::milliseconds(chunkDelayMs));
    const size_t count = std::min(chunkBytes, offer->bytes.size() - sent);
    XChangeProperty(display, requestor, property, atom(display, offer->type.c_str()), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(offer->bytes.data() + sent), int(count));
    XFlush(display);
    sent += count;
    if (count == 0) ++incremental, transfers.erase(requestor);
  }

  void serve() {
    XEvent event;
    while (!stop) {
      if (!nextEvent(display, event, Clock::now() + std::chrono::milliseconds(20))) continue;
      if (event.type == SelectionRequest && answers) answer(event.xselectionrequest);
      if (event.type == SelectionClear) owns = false;
      const auto transfer = transfers.find(event.xproperty.window);
      if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete && transfer != transfers.end() &&
          std::get<0>(transfer->second) == event.xproperty.atom) {
        sendNextChunk(event.xproperty.window);
      }
    }
  }

  void start() {
    if (!display) return;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, atom(display, selection.c_str()), window, CurrentTime);
    owns = XGetSelectionOwner(display, atom(display, selection.c_str())) == window;
    thread = std::thread([this] { serve(); });
  }
};

ClipboardOwner::ClipboardOwner(std::string text, int chunkBytes, int chunkDelayMs)
    : state_(new State{{{"UTF8_STRING", "UTF8_STRING", std::move(text)}}, "CLIPBOARD", true, size_t(chunkBytes),
                       chunkDelayMs}) {
  state_->start();
}

ClipboardOwner::ClipboardOwner(std::vector<Offer> offers, const char* selection, bool answer)
    : state_(new State{std::move(offers), selection, answer, 64 * 1024, 0}) {
  state_->start();
}

ClipboardOwner::~ClipboardOwner() {
  state_->stop = true;
  if (state_->thread.joinable()) state_->thread.join();
  if (state_->display) XCloseDisplay(state_->display);
}

bool ClipboardOwner::owns() const { return state_->owns; }
int ClipboardOwner::incrementalTransfers() const { return state_->incremental; }

}  // namespace XClient
