#pragma once

#include <QList>
#include <QtGlobal>

#include <functional>

// One keyboard event as the hotkey listener sees it, whatever the desktop.
// Key codes are the program's virtual key codes (US-position numbering, see
// virtualkeycodes.h) and flags the program's modifier bits (shift 0x20000,
// control 0x40000, option/Alt 0x80000, command/Super 0x100000, Fn 0x800000),
// so stored hotkeys mean the same key on every keyboard layout.
struct KeyTapEvent {
  enum class Type { keyDown, keyUp, flagsChanged };

  Type type = Type::keyDown;
  quint16 keyCode = 0;
  // The modifiers held once the event has happened (for a modifier key's own
  // flagsChanged event, including or no longer including its bit).
  quint64 flags = 0;
  // A key down that the keyboard repeats because the key is held.
  bool autoRepeat = false;
  // The desktop routed the event to the tap alone, because it belongs to a
  // grabbed combination (or came while one is held): the front application
  // never sees it. Events that are not intercepted are only observed: the
  // front application gets them whatever the listener decides.
  bool intercepted = false;
  // When the key event happened, in milliseconds of the monotonic clock
  // (0 when the desktop does not say). Lets a caller measure its latency.
  quint64 timestampMs = 0;
  // Typed by this program itself (the copy and paste keys it sends), not by
  // the user: a hotkey recording never takes it and it starts nothing.
  bool synthetic = false;
};

// A key combination the tap takes away from every other application.
struct KeyGrab {
  quint16 keyCode = 0;
  quint64 modifiers = 0;  // shift, control, option, command bits only
  bool requiresFn = false;

  friend bool operator==(const KeyGrab&, const KeyGrab&) = default;
};

// The desktop's global keyboard: the stream of every key event of the user's
// session, with a set of key combinations that nobody else receives. The
// hotkey listener runs on it.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed no tap can start.
class KeyboardTap {
 public:
  // Answers whether the event is swallowed. A desktop that routes events
  // before the listener sees them (X11: grabbed or not) decides by the grabs
  // alone and only takes the answer as information.
  using Sink = std::function<bool(const KeyTapEvent&)>;

  virtual ~KeyboardTap() = default;

  // Starts delivering every key event to `sink`, on the main thread, and takes
  // `grabs` away from the other applications, each combination on its own: one
  // that another application already holds is refused (refusedGrabs()) and
  // costs nothing else. False only when the desktop refuses the tap itself
  // (no display): then nothing stays installed.
  virtual bool start(Sink sink, const QList<KeyGrab>& grabs) = 0;

  // Replaces the grabbed combinations while running, each on its own as in
  // start(). False when the tap is not running.
  virtual bool setGrabs(const QList<KeyGrab>& grabs) = 0;

  // The combinations of the last start() or setGrabs() that another
  // application holds, so this tap does not have them.
  virtual QList<KeyGrab> refusedGrabs() const = 0;

  // Releases every grab and stops delivering. Harmless when not started.
  virtual void stop() = 0;

  // Called on the main thread when a running tap has taken its combinations
  // again on its own, because the keyboard's modifiers were remapped: the
  // same combinations now mean other server-side modifiers, and
  // refusedGrabs() may have changed.
  using RegrabHandler = std::function<void()>;
  void setRegrabHandler(RegrabHandler handler) { regrabbed_ = std::move(handler); }

  static KeyboardTap& current();
  // Installs `tap` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(KeyboardTap* tap);

 protected:
  void notifyRegrabbed() const {
    if (regrabbed_) regrabbed_();
  }

 private:
  RegrabHandler regrabbed_;
};
