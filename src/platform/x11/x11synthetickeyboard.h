#pragma once

#include "platform/synthetickeyboard.h"

#include <QByteArray>

struct _XDisplay;

// Types chords through the XTEST extension on a private connection, opened at
// the first chord. They reach the window with the input focus like real keys.
class X11SyntheticKeyboard final : public SyntheticKeyboard {
 public:
  explicit X11SyntheticKeyboard(QByteArray displayName = {});
  ~X11SyntheticKeyboard() override;
  X11SyntheticKeyboard(const X11SyntheticKeyboard&) = delete;
  X11SyntheticKeyboard& operator=(const X11SyntheticKeyboard&) = delete;

  bool typeChord(const KeyChord& chord) override;

 private:
  bool connect();
  void releaseHeldModifiers();

  QByteArray displayName_;
  _XDisplay* display_ = nullptr;
};
