#include "platform/accessibility.h"

#include <atomic>

namespace {

class DisabledElement final : public AccessibleElement {
 public:
  void setMessagingTimeout(std::chrono::milliseconds) override {}
  AXAttributeResult copyAttributeValue(const QString&) override { return {AXError::apiDisabled, {}}; }
  AXSettableResult isAttributeSettable(const QString&) override { return {AXError::apiDisabled, false}; }
  qint32 setAttributeValue(const QString&, const AXValue&) override { return AXError::apiDisabled; }
};

class NoAccessibility final : public Accessibility {
 public:
  AXElementRef systemWide() override { return std::make_shared<DisabledElement>(); }
  AXElementRef application(qint32) override { return std::make_shared<DisabledElement>(); }
};

std::atomic<Accessibility*> installed{nullptr};

}  // namespace

Accessibility& Accessibility::current() {
  static NoAccessibility none;
  Accessibility* accessibility = installed.load();
  return accessibility ? *accessibility : none;
}

void Accessibility::install(Accessibility* accessibility) { installed.store(accessibility); }
