#pragma once

#include "platform/accessibility.h"
#include "platform/linux/atspideadline.h"
#include "platform/linux/atspireference.h"

#include <QCoroTask>
#include <QTimer>

#include <chrono>
#include <optional>

struct _AtspiAccessible;
struct _AtspiEvent;
struct _AtspiEventListener;

// The desktop's accessibility through AT-SPI.
//
// The desktop's focused element is where the user types in the application
// in front (start() begins listening to focus changes). The object that last
// announced it gained the focus is that element when it is a focused text
// that takes typing. Applications announce other objects last as well
// (LibreOffice its window's root pane at every press of a grabbed key, Kate
// a cell of a side list): then the focused editable text of the announcing
// application's active window is (AtspiFocusSearch), where it holds one, and
// the announced object otherwise, focused or not, provided it belongs to the
// application in front (AtspiFrontCheck): a keyboard grab, such as the one
// that holds a hotkey while it is down, takes the focus from the application
// in front for a moment without moving it, and the request that the hotkey
// starts must still find the user's field. An application's focused element
// is searched for in its active window the same way, and is given only while
// the application is in front. While a window of this program is in front,
// both are the focused Qt widget instead.
//
// Qt takes the focus from its fields while a keyboard grab lasts, as GTK does,
// and may announce other objects meanwhile. So the focused text of an
// application that announced something else is looked for ahead of the next
// press, on a later turn of the event loop, and stands for that application's
// focused element while a grab takes the focus from all its windows and
// nothing was announced since.
//
// A search ends within the messaging time-out it is given, and by the
// messaging deadline, with what it found by then; a lookup that ran out of
// time finds nothing (cannotComplete). Calls that find nothing answer the AX codes: no accessibility bus
// is apiDisabled, an application not on the bus cannotComplete, nothing
// focused noValue. Main thread only.
//
// Asked without waiting (focusedElementLater), an application's windows are
// not searched: each step would be a call to wait for. What the last search
// found stands for the focus announced before it, and else the announced
// focus, on the same terms.
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
  // found by `deadline` (else cannotComplete).
  AXAttributeResult focusedElement(qint32 pid, const AtspiDeadline& deadline);
  // The same without waiting on the calling thread.
  QCoro::Task<AXAttributeResult> focusedElementLater(qint32 pid, std::chrono::milliseconds timeout);

 private:
  bool initialize();
  void focusChanged(_AtspiAccessible* source, bool gained);
  AXAttributeResult trackedFocus(const AtspiDeadline& deadline);
  AXAttributeResult focusInApplication(qint32 pid, const AtspiDeadline& deadline);
  // The focused editable text of `application`, run by `pid`: the one the
  // last search found, when nothing was announced since and it still is (or,
  // while a keyboard grab holds the focus, still takes typing); else one
  // searched for, and remembered. `firstFocused` receives the first focused
  // object when the search found no such text.
  AtspiReference focusedTextIn(_AtspiAccessible* application, qint32 pid, const AtspiDeadline& deadline,
                               AtspiReference* firstFocused = nullptr);
  // Searches the application of the announced focus, when that is no focused
  // editable text, for the one it has.
  void learnFocusedText();

  friend void atspiFocusEvent(_AtspiEvent* event, void* self);

  bool initialized_ = false;
  bool available_ = false;
  _AtspiEventListener* listener_ = nullptr;
  AtspiReference focus_;
  std::optional<qint32> focusPid_;
  // What the last search of an application's windows found, in which
  // process, whether it is a focused editable text, and the focus announced
  // when it was made.
  struct Search {
    AtspiReference found;
    qint32 pid = 0;
    bool isText = false;
    AtspiReference announced;
  };
  Search lastSearch_;
  QTimer learning_;
};
