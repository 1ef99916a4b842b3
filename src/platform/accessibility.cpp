#include "platform/accessibility.h"

#include "core/installed.h"

namespace {

class DisabledElement final : public AccessibleElement {
 public:
  void setMessagingTimeout(std::chrono::milliseconds) override {}
  void setMessagingDeadline(std::chrono::steady_clock::time_point) override {}
  AXAttributeResult copyAttributeValue(const QString&) override { return {AXError::apiDisabled, {}}; }
  AXSettableResult isAttributeSettable(const QString&) override { return {AXError::apiDisabled, false}; }
  QCoro::Task<qint32> setAttributeValue(QString, AXValue) override { co_return AXError::apiDisabled; }
};

class NoAccessibility final : public Accessibility {
 public:
  AXElementRef systemWide() override { return std::make_shared<DisabledElement>(); }
  AXElementRef application(qint32) override { return std::make_shared<DisabledElement>(); }
};

using InstalledAccessibility = Installed<Accessibility, NoAccessibility>;

}  // namespace

Accessibility& Accessibility::current() { return InstalledAccessibility::current(); }

void Accessibility::install(Accessibility* accessibility) { InstalledAccessibility::install(accessibility); }
