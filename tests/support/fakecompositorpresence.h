#pragma once

#include "platform/compositorpresence.h"

// A compositor that runs or not as the test says; installed for its lifetime.
class FakeCompositorPresence final : public CompositorPresence {
 public:
  explicit FakeCompositorPresence(bool compositing) : compositing_(compositing) { install(this); }
  ~FakeCompositorPresence() override { install(nullptr); }

  bool isCompositing() override { return compositing_; }
  void setCompositing(bool compositing) {
    if (compositing == compositing_) return;
    compositing_ = compositing;
    Q_EMIT compositingChanged(compositing);
  }

 private:
  bool compositing_;
};
