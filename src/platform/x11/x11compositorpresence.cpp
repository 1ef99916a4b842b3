#include "platform/x11/x11compositorpresence.h"

#include "platform/x11/x11selectionownerwatch.h"

#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

X11CompositorPresence::X11CompositorPresence(QByteArray displayName) {
  display_ = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
  if (!display_) return;
  const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(DefaultScreen(display_));
  selection_ = XInternAtom(display_, name.constData(), False);
  fixesEventBase_ = watchSelectionOwner(display_, selection_);
  if (fixesEventBase_) {
    notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &X11CompositorPresence::drainEvents);
  }
  // Read after the watch is set up, so that no change can fall in between.
  compositing_ = readOwner();
}

X11CompositorPresence::~X11CompositorPresence() {
  notifier_.reset();
  if (display_) XCloseDisplay(display_);
}

bool X11CompositorPresence::readOwner() { return XGetSelectionOwner(display_, selection_) != None; }

void X11CompositorPresence::drainEvents() {
  bool ownerChanged = false;
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == fixesEventBase_ + XFixesSelectionNotify) ownerChanged = true;
  }
  if (!ownerChanged) return;
  // The owner as it is now: a compositor that replaced another one is still a compositor.
  const bool compositing = readOwner();
  if (compositing == compositing_) return;
  compositing_ = compositing;
  Q_EMIT compositingChanged(compositing_);
}
