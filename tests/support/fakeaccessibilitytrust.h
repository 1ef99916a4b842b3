#pragma once

#include "platform/accessibilitytrust.h"

// Desktop trust as the test says; installed for its lifetime.
class FakeAccessibilityTrust final : public AccessibilityTrust {
 public:
  explicit FakeAccessibilityTrust(bool trusted = true) : trusted(trusted) { AccessibilityTrust::install(this); }
  ~FakeAccessibilityTrust() override { AccessibilityTrust::install(nullptr); }

  bool isTrusted() override { return trusted; }
  QString missingReason() override { return trusted ? QString() : QStringLiteral("the test says no"); }

  bool trusted;
};
