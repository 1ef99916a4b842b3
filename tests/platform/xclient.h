#pragma once

// Another X client on the test desktop, written with Xlib as other applications are, for the
// tests of the X11 pieces. Xlib stays in xclient.cpp (its macros clash with Qt and GoogleTest).
#include <memory>
#include <optional>
#include <string>
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

// Owns the CLIPBOARD and serves `text` from a thread of its own, in chunks of
// `chunkBytes` when a plain request cannot carry it, each after `chunkDelayMs`.
class ClipboardOwner {
 public:
  ClipboardOwner(std::string text, int chunkBytes, int chunkDelayMs);
  ~ClipboardOwner();
  bool owns() const;
  int incrementalTransfers() const;  // completed so far

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace XClient
