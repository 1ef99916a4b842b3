#pragma once

#include "platform/primaryhighlightwatch.h"

#include <QByteArray>
#include <QHash>
#include <QObject>

#include <memory>

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
  void drainEvents();
  void notePress(unsigned long time);
  void noteKey(int keycode);

  _XDisplay* display_ = nullptr;
  int inputOpcode_ = -1;
  int fixesEventBase_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
  // Server time PRIMARY was last taken, 0 while that has not happened since the start.
  unsigned long primaryTaken_ = 0;
  // Server time of the last press, by the process of the window it landed on.
  QHash<qint32, unsigned long> lastPress_;
  // Keys pressed since PRIMARY last changed hands, by the process that had the focus.
  QHash<qint32, int> keysSinceTaken_;
};
