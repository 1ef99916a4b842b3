#pragma once

#include "platform/compositorpresence.h"

#include <QByteArray>

#include <memory>

class QSocketNotifier;
struct _XDisplay;

// A compositing manager announces itself by owning the selection
// _NET_WM_CM_S<screen> of the screen it composites. A private connection
// reads that owner and follows its changes (XFixes), so a compositor that
// starts or ends later is noticed at once.
//
// Without a display a compositor is taken to run: nothing can be cut then.
class X11CompositorPresence final : public CompositorPresence {
 public:
  explicit X11CompositorPresence(QByteArray displayName = {});
  ~X11CompositorPresence() override;

  bool isCompositing() override { return compositing_; }

 private:
  void drainEvents();
  bool readOwner();

  _XDisplay* display_ = nullptr;
  unsigned long selection_ = 0;
  int fixesEventBase_ = 0;
  bool compositing_ = true;
  std::unique_ptr<QSocketNotifier> notifier_;
};
