#pragma once

#include "platform/panelkeyboard.h"

#include <QByteArray>
#include <QObject>

#include <memory>

class QSocketNotifier;
struct _XDisplay;

// The keyboard of X11 lent to a panel. A panel is a window no window manager
// manages, so none gives it the focus, nor gives the focus back to the
// application afterwards: the window manager still takes that application for
// the active one, and a click into it changes nothing in its eyes. The focus
// is set here, on a private connection, and the window that had it is kept.
//
// While a panel has the keyboard, the connection hears every press of a
// pointer button (XInput 2 raw events on the root window: the press itself
// goes to the window under the pointer). A press outside the panel gives the
// keyboard back where it was, unless a window manager has already moved it to
// the window clicked; it is given back with the press's own time, so that a
// window manager focusing the window clicked a moment later still wins.
class X11PanelKeyboard final : public QObject, public PanelKeyboard {
  Q_OBJECT

 public:
  explicit X11PanelKeyboard(QByteArray displayName = {});
  ~X11PanelKeyboard() override;

  void lend(QWindow& panel) override;
  void giveBack() override;

 private:
  bool connect();
  void watchPresses(bool watch);
  void drainEvents();
  void giveBackAt(unsigned long time);
  unsigned long windowUnderPointer();

  QByteArray displayName_;
  _XDisplay* display_ = nullptr;
  int inputOpcode_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  unsigned long panel_ = 0;         // the panel that has the keyboard, 0 for none
  unsigned long focusBefore_ = 0;   // the window that had it before
  int revertBefore_ = 0;            // and what its focus fell back to when it went away
};
