#pragma once

#include "platform/keyboardtap.h"

#include <QByteArray>

#include <memory>

// The keyboard tap of an X11 session, on a private Xlib connection read by a
// thread of its own (X11ConnectionThread). The events it reads are handed to
// the main thread, where the sink gets them as from any other tap.
//
// X11 cannot decide per event whether another application sees a key, so the
// tap works in two ways at once:
// - Key hotkeys are passive grabs (XGrabKey on the root window, for every
//   combination of CapsLock, NumLock and ScrollLock): the X server routes the
//   key to us alone. Those events arrive as intercepted. While such a key is
//   held the server routes the whole keyboard to us, so a modifier let go or
//   another key pressed in that moment is intercepted too.
// - Everything else is observed through XInput 2 raw events and is NOT
//   swallowed: modifier presses and releases (lone-modifier hotkeys fire on
//   them) and other keys (which end a lone-modifier hold). The application in
//   front receives them as usual, whatever the listener decides.
// Each combination is grabbed on its own: one that another client already
// holds is refused (the X error is caught, never left to Xlib's handler that
// would end the process) and the others stay. Most PC keyboards never report
// Fn to X: combinations that need Fn are not grabbed.
//
// A combination with Alt or Super is grabbed so that its press freezes the
// keyboard until the tap has read it: the application in front has seen the
// modifier go down, and the server holds back its release, however quickly
// the user lets go. The tap first shows that application a key it does not
// act on (X11MaskKey), so that it does not take the modifier for one pressed
// alone (a Qt menu bar would take the keyboard, and the answer typed later
// would go into the menu), then lets the keyboard go. This is why the
// connection has a thread of its own: the keyboard of the whole desktop waits
// only until that thread has read the press (well under a millisecond),
// never for the main thread, which may be busy for seconds (a capture that
// runs to its time limits, a large panel being laid out). No press leaves the
// keyboard frozen while the process runs; a process stopped as a whole (a
// debugger, SIGSTOP) holds it until it goes on, and one that ends gives it
// back, since closing the connection ends every grab.
//
// Which of Mod1...Mod5 stand for Alt and Super is the keymap's choice and may
// change while the tap runs (xmodmap, a new keyboard): the tap then reads the
// modifiers again, grabs every combination again with the new ones and tells
// the regrab handler, so a hotkey keeps meaning the same keys.
//
// The program's own typing (X11SyntheticKeyboard) goes through the same
// server and comes back here like the user's keys. The keyboard hands every
// key it typed to noteOwnKeys() once the server has taken them; each running
// tap then reads up to that point and marks those events as synthetic, also
// those its thread read already and the main thread has not taken yet, so
// they are told apart whenever the tap reads them.
//
// Every member function is for the main thread; start() and stop() wait for
// the reader thread, setGrabs() and noteOwnKeys() for a round trip or two.
class X11KeyboardTap final : public KeyboardTap {
 public:
  // One key event typed through XTEST: its X keycode, pressed or let go.
  struct OwnKey {
    int keycode = 0;
    bool press = false;
    friend bool operator==(const OwnKey&, const OwnKey&) = default;
  };

  // `displayName` empty: the display named by DISPLAY.
  explicit X11KeyboardTap(QByteArray displayName = {});
  ~X11KeyboardTap() override;

  bool start(Sink sink, const QList<KeyGrab>& grabs) override;
  bool setGrabs(const QList<KeyGrab>& grabs) override;
  QList<KeyGrab> refusedGrabs() const override;
  void stop() override;

  // The key events this program has just typed, in order, once the server
  // has processed them (after a round trip on the typing connection). Main
  // thread only.
  static void noteOwnKeys(const QList<OwnKey>& keys);

 private:
  struct Connection;

  void deliver();

  QByteArray displayName_;
  std::unique_ptr<Connection> connection_;
  Sink sink_;
  quint64 generation_ = 0;  // counts stops, so a batch in flight notices one
};
