#pragma once

// Another X client on the test desktop's display, written with Xlib as any
// other application would be: for the tests of the X11 pieces. Xlib stays in
// xclient.cpp (its macros clash with Qt and GoogleTest).

#include <memory>
#include <optional>
#include <string>

struct _XDisplay;

namespace XClient {

// A connection of its own to $DISPLAY.
class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  _XDisplay* display() const { return display_; }
  // Queues a request the server refuses with BadWindow, or with BadAtom,
  // without waiting for the answer.
  void sendBadWindowRequest();
  void sendBadAtomRequest();
  // Waits for the answers to every request sent so far.
  void sync();
  // The largest request the server takes, in bytes.
  long maxRequestBytes() const;

 private:
  _XDisplay* display_ = nullptr;
};

// Replaces the process's X error handler while it lives, counting the errors
// that reach it.
class ErrorCounter {
 public:
  ErrorCounter();
  ~ErrorCounter();
  ErrorCounter(const ErrorCounter&) = delete;
  ErrorCounter& operator=(const ErrorCounter&) = delete;
  int count() const;

 private:
  void* previous_;
};

// What a paste of the CLIPBOARD (as UTF8_STRING) received, and whether the
// owner sent it in chunks (INCR). Blocks: call it off the thread that serves
// the clipboard.
struct Paste {
  std::string text;
  bool incremental = false;
};
std::optional<Paste> paste(int timeoutMs);

// Owns the CLIPBOARD and serves `text` from a thread of its own: in chunks of
// `chunkBytes` when the text is larger than a plain request can carry, each
// chunk after `chunkDelayMs` (a slow application).
class ClipboardOwner {
 public:
  explicit ClipboardOwner(std::string text, int chunkBytes = 64 * 1024, int chunkDelayMs = 0);
  ~ClipboardOwner();
  ClipboardOwner(const ClipboardOwner&) = delete;
  ClipboardOwner& operator=(const ClipboardOwner&) = delete;
  bool owns() const;
  // Transfers completed in chunks so far.
  int incrementalTransfers() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace XClient
