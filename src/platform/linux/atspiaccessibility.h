#pragma once

#include "platform/accessibility.h"

#include <QCoroTask>

#include <optional>

struct _AtspiAccessible;
struct _AtspiEvent;
struct _AtspiEventListener;

// The desktop's accessibility through AT-SPI.
//
// The desktop's focused element is the last object of another application
// that announced it gained the focus (start() begins listening), provided it
// belongs to the application in front (AtspiFrontCheck), focused or not: a
// keyboard grab, such as the one that holds a hotkey while it is down, takes
// the focus from the application in front for a moment without moving it, and
// the request that the hotkey starts must still find the user's field. An
// application's focused element is searched for in its active window, and is
// given only while the application is in front. While a window of this
// program is in front, both are the focused Qt widget instead.
//
// Calls that find nothing answer the AX codes: no accessibility bus is
// apiDisabled, an application not on the bus cannotComplete, nothing focused
// noValue. Main thread only.
//
// Asked without waiting (focusedElementLater), an application's windows are
// not searched: each step would be a call to wait for. The focus it last
// announced, or else what the last search in it found, stands for its
// focused element, on the same terms.
class AtspiAccessibility final : public Accessibility {
 public:
  AtspiAccessibility();
  ~AtspiAccessibility() override;
  AtspiAccessibility(const AtspiAccessibility&) = delete;
  AtspiAccessibility& operator=(const AtspiAccessibility&) = delete;

  // Connects to the accessibility bus and follows the focus from now on, so
  // the desktop's focused element is known at the first capture.
  void start();

  AXElementRef systemWide() override;
  AXElementRef application(qint32 pid) override;

  // Whether the accessibility bus has been used at all (our own windows are
  // read without it).
  bool busUsed() const { return initialized_; }

  // The focused element of the whole desktop (pid 0) or of one application,
  // each call bounded by `timeout`.
  AXAttributeResult focusedElement(qint32 pid, std::chrono::milliseconds timeout);
  // The same without waiting on the calling thread.
  QCoro::Task<AXAttributeResult> focusedElementLater(qint32 pid, std::chrono::milliseconds timeout);

 private:
  bool initialize();
  void focusChanged(_AtspiAccessible* source, bool gained);
  AXAttributeResult trackedFocus();
  AXAttributeResult focusInApplication(qint32 pid);

  friend void atspiFocusEvent(_AtspiEvent* event, void* self);

  bool initialized_ = false;
  bool available_ = false;
  _AtspiEventListener* listener_ = nullptr;
  _AtspiAccessible* focus_ = nullptr;
  std::optional<qint32> focusPid_;
  // What the last search of an application's windows found, and where.
  _AtspiAccessible* foundFocus_ = nullptr;
  qint32 foundFocusPid_ = 0;
};
