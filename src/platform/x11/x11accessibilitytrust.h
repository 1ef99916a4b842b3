#pragma once

#include "platform/accessibilitytrust.h"

#include <QByteArray>

// Trusted when the X display named by DISPLAY (or `displayName`) answers and
// offers XTEST (synthetic keys) and XInput 2.0 or later (observing keys).
class X11AccessibilityTrust final : public AccessibilityTrust {
 public:
  explicit X11AccessibilityTrust(QByteArray displayName = {});

  bool isTrusted() override;
  QString missingReason() override;

 private:
  QString check();  // empty when trusted, else the reason

  QByteArray displayName_;
};
