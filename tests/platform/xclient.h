#pragma once

// Another X client on the test desktop, written with Xlib as other applications are, for the
// tests of the X11 pieces. Xlib stays in xclient.cpp (its macros clash with Qt and GoogleTest).
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>
struct _XDisplay;

namespace XClient {

// A connection of its own to $DISPLAY.
struct Connection {
  Connection();
  ~Connection();
  _XDisplay* display = nullptr;
  void sendBadWindowRequest();  // refused by the server; the answer is not awaited
  void sendBadAtomRequest();
  void sync();                   // waits for the answers to every request sent so far
  long maxRequestBytes() const;  // the largest request the server takes
};

// The process's X error handler while it lives: it counts the errors it gets.
struct ErrorCounter {
  ErrorCounter();
  ~ErrorCounter();
  int count() const;
  void* previous;
};

// A paste of the CLIPBOARD as UTF8_STRING, and whether the owner sent it in
// chunks (INCR). Blocks: call it off the thread serving the clipboard.
struct Paste {
  std::string text;
  bool incremental;
};
std::optional<Paste> paste(int timeoutMs);

// An application that asks for a selection in the targets it likes, one after
// the other, on one connection (as gvim reads PRIMARY). Blocks: call it off the
// thread serving the selection.
class Requestor {
 public:
  struct Answer {
    bool refused = false;  // the owner said it cannot (property None)
    std::string type;      // the type of what it sent
    std::string bytes;
    std::chrono::microseconds after{};  // since the request went out
  };
  Requestor();
  ~Requestor();
  // Nothing when no answer came within `timeout`. The request is stamped
  // with the server time `time`, the moment it is made when that is 0.
  std::optional<Answer> ask(const char* selection, const char* target, std::chrono::milliseconds timeout,
                            unsigned long time = 0);
  // Its window: the requestor of its requests.
  unsigned long window() const { return window_; }

 private:
  _XDisplay* display_;
  unsigned long window_ = 0;
};

// One target an owner offers: what it sends for it, as which type.
struct Offer {
  std::string target, type, bytes;
};

// Owns a selection and serves it from a thread of its own, in chunks of
// `chunkBytes` when a plain request cannot carry it, each after `chunkDelayMs`.
// TARGETS lists the offers. One that does not `answer` keeps every requestor
// waiting.
class ClipboardOwner {
 public:
  ClipboardOwner(std::string text, int chunkBytes, int chunkDelayMs);  // CLIPBOARD as UTF8_STRING
  explicit ClipboardOwner(std::vector<Offer> offers, const char* selection = "CLIPBOARD", bool answer = true);
  ~ClipboardOwner();
  bool owns() const;
  int incrementalTransfers() const;  // completed so far

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace XClient
