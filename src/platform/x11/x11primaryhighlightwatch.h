#pragma once

#include "platform/primaryhighlightwatch.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>

#include <memory>
#include <optional>

class QSocketNotifier;
struct _XDisplay;

// A private connection hears every press of a pointer button anywhere (XInput
// 2 raw events on the root window: the press itself goes to the window under
// the pointer, and only one client may take those) and every new owner of
// PRIMARY (XFixes, with the server time it was taken). For each press it notes
// the application under the pointer and the press's server time. It hears
// every key pressed as well, and counts those that reach each application
// (the one whose window has the focus) until PRIMARY next changes hands: the
// events come in the order the server handled them, so a key that made the
// focused program take PRIMARY again is heard before that take.
//
// Raw events also report the keys that a grab on the root window took from
// the application in front: this program's hotkeys, a window manager's
// shortcuts (Alt+Tab), a shortcut daemon's. The server tells when such a grab
// begins, at the time of the press that began it, and when it ends; those
// presses, and the keys pressed while the grab lasts, are not counted. A
// grab that moves on to another window (a window manager cycling through
// windows) is followed no further: the keys after that count.
//
// A press the program's own windows received (a panel's close button, the
// tray icon, or anywhere while a menu of ours holds the pointer) never reached
// another application, whatever lies under the pointer by the time the press
// is read: a panel that hides on that click has uncovered the window below.
// Qt's connection sees those presses, with the same server time as the raw
// ones; which presses were ours is settled when a highlight is asked about.
//
// Buttons 1 and 3 count: for a left-handed user they trade places, and
// xterm's extending button takes PRIMARY again when it is let go. Without a
// display, XInput 2 or XFixes every highlight counts as shown.
class X11PrimaryHighlightWatch final : public QObject, public PrimaryHighlightWatch {
  Q_OBJECT

 public:
  explicit X11PrimaryHighlightWatch(QByteArray displayName = {});
  ~X11PrimaryHighlightWatch() override;

  bool isShown(const RunningApplication& app) override;
  int keysSinceTaken(const RunningApplication& app) override;

 private:
  class OwnPressFilter;

  void drainEvents();
  void notePress(unsigned long time);
  void noteKey(int keycode, unsigned long time);
  void noteFocusChange(int type, int mode, int detail, unsigned long time);

  // A press and the process of the window under the pointer when it was read.
  struct Press {
    unsigned long time = 0;
    qint32 pid = 0;
  };

  _XDisplay* display_ = nullptr;
  int inputOpcode_ = -1;
  int fixesEventBase_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
  // Server time PRIMARY was last taken, 0 while that has not happened since the start.
  unsigned long primaryTaken_ = 0;
  // The presses since PRIMARY last changed hands, oldest first.
  QList<Press> presses_;
  std::unique_ptr<OwnPressFilter> ownPresses_;
  // Keys pressed since PRIMARY last changed hands, by the process that had the focus.
  QHash<qint32, int> keysSinceTaken_;
  // The key counted last, until the next: a grab that begins at its time took it.
  struct CountedKey {
    qint32 pid = 0;
    unsigned long time = 0;
  };
  std::optional<CountedKey> lastCounted_;
  // A grab on the root window holds the keyboard: keys go to its client alone.
  bool rootGrabbed_ = false;
};
