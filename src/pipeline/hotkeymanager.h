#pragma once

#include "pipeline/hotkeycombo.h"
#include "platform/keyboardtap.h"

#include <QObject>

#include <functional>

// The three global hotkeys and the listener that catches them in every
// application. One per process, main thread only.
class HotKeyManager : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool isListening READ isListening NOTIFY isListeningChanged)

 public:
  using Handler = std::function<void(HotKeyCombo)>;

  static HotKeyManager& shared();

  // Replaces any running listener: stores the handler and installs the
  // keyboard tap. isListening tells whether the desktop accepted it.
  void start(Handler onHotKeyPressed);
  // Removes the tap; the handler stays stored. Harmless when not listening.
  void stop();
  bool isListening() const { return isListening_; }

  // One event from the keyboard tap; true when it is swallowed.
  bool handleTapEvent(const KeyTapEvent& event);

 Q_SIGNALS:
  void isListeningChanged();

 private:
  HotKeyManager() = default;
  bool installEventTap();
  void setListening(bool listening);

  bool isListening_ = false;
  Handler onHotKeyPressed_;
};
