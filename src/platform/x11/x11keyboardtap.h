#pragma once

#include "platform/keyboardtap.h"

#include <QByteArray>

#include <memory>

// The keyboard tap of an X11 session, on a private Xlib connection read on the
// main thread.
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
// A grab that another client already holds makes start() or setGrabs() fail
// (the X error is caught, never left to Xlib's handler that would end the
// process). Most PC keyboards never report Fn to X: combinations that need Fn
// are not grabbed.
class X11KeyboardTap final : public KeyboardTap {
 public:
  // `displayName` empty: the display named by DISPLAY.
  explicit X11KeyboardTap(QByteArray displayName = {});
  ~X11KeyboardTap() override;

  bool start(Sink sink, const QList<KeyGrab>& grabs) override;
  bool setGrabs(const QList<KeyGrab>& grabs) override;
  void stop() override;

 private:
  struct Connection;

  void readEvents();

  QByteArray displayName_;
  std::unique_ptr<Connection> connection_;
  Sink sink_;
  quint64 generation_ = 0;  // counts stops, so a batch in flight notices one
};
