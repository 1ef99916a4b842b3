#pragma once

#include "platform/synthetickeyboard.h"
#include "platform/x11/x11keyboardtap.h"

#include <QByteArray>

struct _XDisplay;

// Types chords through the XTEST extension on a private connection, opened at
// the first chord. They reach the window with the input focus like real keys;
// the program's own keyboard taps are told which keys were typed, so they
// never take them for the user's.
//
// A key (not a modifier) that is still down when a chord is due is waited
// for, up to half a second: it is usually the hotkey the user has not let go
// yet, and while a grabbed key is down the server sends every key event to
// the hotkey listener, so a chord typed then would never reach the window.
class X11SyntheticKeyboard final : public SyntheticKeyboard {
 public:
  explicit X11SyntheticKeyboard(QByteArray displayName = {});
  ~X11SyntheticKeyboard() override;
  X11SyntheticKeyboard(const X11SyntheticKeyboard&) = delete;
  X11SyntheticKeyboard& operator=(const X11SyntheticKeyboard&) = delete;

  bool typeChord(const KeyChord& chord) override;

 private:
  bool connect();
  void awaitHeldKeys();
  void releaseHeldModifiers(QList<X11KeyboardTap::OwnKey>& typed);

  QByteArray displayName_;
  _XDisplay* display_ = nullptr;
};
